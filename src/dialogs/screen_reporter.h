// The transfers as the user sees them: the step under way at row 1, column
// 65, the port of a whole-module transfer at column 58, failures in the error
// window, questions in the confirm box, and the model mark at row 1, column
// 14 once the module has said which model it is.
//
// A transfer the user stopped with Esc says where it stopped; what was moved
// before stays moved.
#pragma once
#include <cstdint>
#include <string>

#include "transfer/transfer_reporter.h"

class ScreenReporter final : public TransferReporter {
  public:
    void Step(const char* text) override;
    void Port(const char* text) override;
    bool Error(const char* text) override;
    bool Confirm(const char* question) override;
    void ModelKnown(int16_t model) override;

  private:
    std::string port_, step_;  // of the transfer under way, for the Esc report
};

// Blanks row 1, columns 58-78, where the port and the step were shown.
void ClearTransferStatus();
