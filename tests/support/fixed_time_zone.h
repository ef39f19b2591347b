#pragma once
// Pins the local time zone for one test: local-time conversions then give
// the same text on every machine. The old zone is back afterwards.

#include "support/scratch_folder.h"

#include <ctime>
#include <optional>
#include <string>

namespace zu::testing {

class FixedTimeZone {
public:
    explicit FixedTimeZone(const std::string& zone) : env_(std::in_place, "TZ", zone) { ::tzset(); }
    ~FixedTimeZone() {
        env_.reset();
        ::tzset();
    }
    FixedTimeZone(const FixedTimeZone&) = delete;
    FixedTimeZone& operator=(const FixedTimeZone&) = delete;

private:
    std::optional<ScopedEnv> env_;
};

} // namespace zu::testing
