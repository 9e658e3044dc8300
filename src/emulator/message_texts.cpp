// Received and accepted text of the message being acquired.
#include "emulator/message_texts.h"

#include <climits>
#include <cstring>

void MessageTexts::Receive(char c) {
    if (receivedCount < kMessageChars) {
        received[receivedCount++] = c;
        return;
    }
    std::memmove(received, received + 1, kMessageChars - 1);
    received[kMessageChars - 1] = c;
}

void MessageTexts::Accept(char c) {
    accepted[acceptedCount] = c;
    if (acceptedTotal < INT_MAX) ++acceptedTotal;
    if (acceptedCount < kMessageChars - 1) ++acceptedCount;
}

bool AcquireCharacter(MessageTexts& texts, const PortConfig& port, uint8_t c) {
    texts.Receive(char(c));
    if (CharSetHas(port.AcceptSet, c)) texts.Accept(char(c));
    return CharSetHas(port.TerminateSet, c);
}

bool CountReached(const MessageTexts& texts, uint16_t terminateCount) {
    return terminateCount != 0 && texts.acceptedCount >= int(terminateCount);
}
