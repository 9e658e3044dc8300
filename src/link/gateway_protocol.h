// The Gateway link kind: text commands over a serial port, one line each
// way. "A" sets the route through the network (only when it changed), "R"
// reads registers, "W" writes them; a line holding only CR acknowledges.
#pragma once
#include <cstdint>

struct Link;
struct LinkRoute;
struct Packet;

// Line framing, run by the reader thread.
void GatewayReceiveByte(Link* link, uint8_t byte);
int GatewayNextTransmitByte(Link* link);

// Command texts, CR included; each returns the text's length. The write
// formats as many values as fit in size and says how many in *formatted.
int FormatRouteCommand(const LinkRoute& route, char* out, int size);
int FormatReadCommand(int reg, int count, char* out, int size);
int FormatWriteCommand(int reg, const uint16_t* values, int count, char* out, int size,
                       int* formatted);
// The numbers of a reply line, at most count of them: how many were stored.
int ParseGatewayValues(const uint8_t* line, int length, int count, uint16_t* values);
// A line answers a read only when it holds exactly the numbers asked for and
// nothing else: a gateway's error line, or one that some other exchange left
// (the same gateway chatters on its own), must never be taken for data.
enum class GatewayReply { Values, TooFew, TooMany, NotNumbers };
GatewayReply ReadGatewayReply(const uint8_t* line, int length, int count, uint16_t* values);
bool IsAcknowledgeLine(const Packet* line);

// Sends the "A" command when the link's route differs from the one last
// sent. On success the caller's packet may have been replaced by another
// free one; on failure the caller no longer owns it.
int GatewaySetRoute(Link* link, Packet*& packet);
int GatewayRead(Link* link, int reg, int count, uint16_t* values);
int GatewayWrite(Link* link, int reg, int count, const uint16_t* values);
