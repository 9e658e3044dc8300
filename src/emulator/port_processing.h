// What the module does with the characters arriving on one port, apart from
// any screen: the accept and terminate sets and the count end decide when a
// message is complete, then capitalizing and the data paths write it into the
// controller's registers. The emulator screen and the simulated module both
// run messages through here.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/module_config.h"
#include "emulator/data_paths.h"
#include "emulator/message_texts.h"

// What one received character did to the message.
struct CharacterResult {
    bool terminator = false;  // a character of the terminate set
    bool countReached = false;
    // A terminator with nothing accepted: the message is empty and is dropped.
    bool empty = false;
    bool Completes() const { return (terminator && !empty) || countReached; }
};

// Takes c into texts with the port's configuration as it is now.
inline CharacterResult TakeCharacter(MessageTexts& texts, const PortConfig& port,
                                     uint16_t terminateCount, uint8_t c) {
    CharacterResult result;
    result.terminator = AcquireCharacter(texts, port, c);
    result.empty = result.terminator && texts.AcceptedEmpty();
    // An empty message is dropped, so it never reaches its count either.
    result.countReached = !result.empty && CountReached(texts, terminateCount);
    return result;
}

// Frames the bytes arriving on a port into messages as the module does:
// complete(texts) is called for each completed message, which is then
// cleared for the next; an empty one is dropped. A message still open at the
// end stays in texts. The module never receives a NUL as a character.
template <typename Complete>
void ReceiveBytes(MessageTexts& texts, const PortConfig& port, uint16_t terminateCount,
                  std::string_view bytes, Complete&& complete) {
    for (char c : bytes) {
        if (c == 0) continue;
        CharacterResult result = TakeCharacter(texts, port, terminateCount, uint8_t(c));
        if (result.empty) {
            texts.Clear();
        } else if (result.Completes()) {
            complete(texts);
            texts.Clear();
        }
    }
}

struct MessageOutcome {
    std::string text;  // as the paths saw it (capitalized when the port says so)
    std::vector<PathOutcome> paths;
};

// Runs a completed message (the accepted text) of port (1-4) through
// capitalizing and the data paths.
MessageOutcome ProcessPortMessage(const PortConfig& port, int portNumber, const char* accepted,
                                  ControllerRegisters& registers);
