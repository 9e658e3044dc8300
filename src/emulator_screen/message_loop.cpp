// The message loop of the emulator screen.
#include "emulator_screen/message_loop.h"

#include <cstdio>

#include "emulator/hex_codes.h"
#include "emulator/message_texts.h"
#include "emulator/port_processing.h"
#include "emulator_screen/emulator_screen.h"
#include "emulator_screen/hex_entry.h"
#include "emulator_screen/process_message.h"
#include "ui/console/keys.h"
#include "ui/key_loop.h"
#include "ui/raw_key.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

enum class After { NextByte, Refused, ShowTexts, Leave };

// A screen of the key loop: its keys are the bytes a port receives (typed or
// queued as hex codes) and the extended keys that steer it.
class MessageLoop final : public KeyScreen {
  public:
    MessageLoop(EmulatorRegisters& registers, const ModuleConfig& module, int port)
        : registers_(registers),
          module_(module),
          port_(port),
          config_(module.Ports[port - 1]),
          count_(module.Plus.TerminateCount[port - 1]),
          timeout_(module.Plus.TerminateTimeout[port - 1]) {}

    // A message completed by the last key is processed before the next key,
    // which is then the next message's first input.
    int NextKey() override {
        if (!texts_.AcceptedEmpty() && terminated_) {
            ProcessMessage(registers_, module_, port_, texts_.accepted);
            ShowReady();
            PeekRawKey(-1);
            texts_.Clear();
            newMessage_ = true;
            terminated_ = false;
        }
        int byte = NextByte();
        if (byte != 0) return byte;
        return kExtendedKey | (ReadRawKey(-1) & 0xFF);
    }

    KeyResult OnKey(int key) override {
        After after = After::ShowTexts;
        if (key >= kExtendedKey)
            after = ExtendedKey(key & 0xFF);
        else if (key >= 0)
            Character(uint8_t(key));
        else
            after = After::NextByte;
        switch (after) {
            case After::Leave:
                return KeyResult::Leave;
            case After::NextByte:
                return KeyResult::Handled;
            case After::Refused:
                return KeyResult::Ignored;
            case After::ShowTexts:
                break;
        }
        return KeyResult::Changed;
    }

    void Show() override {
        DrawTextFields(texts_.received, texts_.accepted);
        ClearReady();
    }

  private:
    int NextByte() {
        if (!queue_.Empty()) {
            MarkScreenDirty();
            return queue_.Take();
        }
        return ReadRawKeyPrefixed(-1);  // Ctrl-T I is Insert where a terminal has none
    }

    After ExtendedKey(int scan) {
        switch (scan) {
            case key::scan::F1:
                RunHotKey(key::F1);
                return After::NextByte;
            case key::scan::F2:
                if (texts_.acceptedCount == 0 || timeout_ == 0) return After::NextByte;
                ShowStatus("TERMINATED BY TIMEOUT (F2)", true);
                terminated_ = true;
                return After::ShowTexts;
            case key::scan::F10:
                return After::Leave;
            case key::scan::Insert:
                return RunHexEntry(queue_) ? After::NextByte : After::Leave;
            case key::scan::Nul:  // a typed NUL is a character of the message
                Character(0);
                return After::ShowTexts;
            default:
                return After::Refused;
        }
    }

    void StartShowingMessage() {
        ClearToEndOfLine(4, 11);
        ClearToEndOfLine(5, 11);
        for (int row = 6; row <= 11; ++row) ClearToEndOfLine(row, 1);
        DrawTextFields("", "");
        ShowKeyboardHint();
        if (timeout_ != 0) ShowStatus("Type F2 to simulate timeout", false);
        newMessage_ = false;
    }

    void Character(uint8_t c) {
        if (newMessage_) StartShowingMessage();
        CharacterResult result = TakeCharacter(texts_, config_, count_, c);
        if (result.terminator) {
            char status[32];
            std::snprintf(status, sizeof status, "TERMINATOR %02X MATCHED", c);
            ShowStatus(status, true);
            if (result.empty) EmptyMessage();
        }
        if (result.countReached) {
            char status[40];
            std::snprintf(status, sizeof status, "TERMINATED BY MAX COUNT %d",
                          texts_.acceptedCount);
            ShowStatus(status, true);
        }
        if (result.Completes()) terminated_ = true;
    }

    void EmptyMessage() {
        DrawTextFields(texts_.received, texts_.accepted);
        PutText("Message is empty.", 7, 1, 0, ' ', tf::Normal);
        texts_.Clear();
        newMessage_ = true;
        ShowReady();
        PeekRawKey(-1);
    }

    EmulatorRegisters& registers_;
    const ModuleConfig& module_;
    int port_;
    const PortConfig& config_;
    uint16_t count_;
    int timeout_;
    MessageTexts texts_;
    HexCodeQueue queue_;
    bool newMessage_ = true, terminated_ = false;
};

}  // namespace

void RunMessageLoop(EmulatorRegisters& registers, const ModuleConfig& config, int port) {
    MessageLoop loop(registers, config, port);
    RunKeyLoop(loop);
}
