// What one request may ask of each kind of link, so that a tool refuses a
// register, count or drop the link could not carry as a usage error, before
// the link is opened, instead of letting it fail on the wire (or wrap round
// to another register). The counts are those the link layer takes.
#pragma once
#include <string>

#include "common/link_source.h"
#include "setup/link_kinds.h"

enum class RequestOp { Read, Write, InputRead, InputWrite };

// The limits of a kind are its row's (setup/link_kinds.h).
const RequestLimits& RequestLimitsOf(const LinkKindRow& kind);

// The link kind the source names: --type, or the setup file's connection
// type; null when the setup file cannot be read or names none (*error says
// why).
const LinkKindRow* LinkKindOfSource(const LinkSource& source, std::string* error);

// The most registers one request of op carries (0: the kind has no such
// request), and the last register it may reach.
int MaxRequestCount(const LinkKindRow& kind, RequestOp op);
int LastRegister(const LinkKindRow& kind, RequestOp op);

// Whether one request of op from register reg, count registers, fits the
// link kind; false with *error ("REGISTER 16384 with 2 registers runs past
// register 16384, the last on a Sy/Max link"). A request the kind does not
// have at all passes: the link refuses it with its own text.
bool RequestFits(const LinkKindRow& kind, RequestOp op, int reg, int count, std::string* error);

// Modbus slave addresses 1 to 247: 0 is broadcast, which nothing answers,
// and 248 to 255 are reserved. False with *error naming the drop.
bool DropFits(const LinkKindRow& kind, int drop, std::string* error);
