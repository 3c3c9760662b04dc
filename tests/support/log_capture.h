#pragma once

#include <string>
#include <string_view>

#include "support/scratch_dir.h"

namespace purvex::test {

// Points the process-wide log at a scratch folder for one test, so that the test can count
// the lines the code under test wrote. Logging is switched off again at the end.
class LogCapture {
public:
    LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    ~LogCapture();

    // Lines of the application log holding both texts (UTF-8), after a flush.
    int CountContaining(std::string_view first, std::string_view second = {}) const;

private:
    ScratchDir dir_;
};

}  // namespace purvex::test
