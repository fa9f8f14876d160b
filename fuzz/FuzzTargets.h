#pragma once
// The fuzz targets: each takes arbitrary bytes and drives one reader of outside input (the
// table image, the filter text, wildcard masks, number patterns, float, date and time texts)
// through everything it offers, checking what must hold whatever the input. The same bodies
// run inside libFuzzer (fuzz/*_fuzzer.cpp, built by scripts/fuzz.sh) and in the test suite,
// which replays the committed corpus and every past finding (tests/fuzz/).
//
// A check that does not hold goes to the failure handler: by default it prints the reason and
// aborts, so libFuzzer keeps the input as a finding; the replay test makes it a test failure.
// Bad input itself is no failure: the readers may refuse it with EDatabaseError.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace cibrano::fuzz {

// The table image: byte 0 chooses how the rest is read (bit 0: PartialOpen; bit 1: the rest is
// a plain image that is first enciphered under the known password; otherwise it is read as it
// stands, with that password set). A table that opens is walked field by field, saved and read
// back; what comes back must equal what was read.
int fuzzTableImage(const uint8_t* data, size_t size);
// A filter text on a small table with a field of every kind and a few records.
int fuzzFilter(const uint8_t* data, size_t size);
// A wildcard mask and a text (separated by the first NUL byte), checked against a plain
// matcher, in both case modes of the filter's LIKE.
int fuzzMask(const uint8_t* data, size_t size);
// A number pattern and a value: byte 0 chooses the regional separators, bytes 1-8 are the
// double, the rest is the pattern.
int fuzzNumberFormat(const uint8_t* data, size_t size);
// Float, date, time and date-and-time text input: byte 0 chooses the regional settings, the
// rest is the text; what a reader accepts must format and read back to the same value.
int fuzzTextInput(const uint8_t* data, size_t size);

struct FuzzTarget {
    const char* name; // the folder name under fuzz/corpus/ and fuzz/findings/
    int (*run)(const uint8_t* data, size_t size);
};
inline constexpr FuzzTarget kFuzzTargets[] = {
    {"table_image", fuzzTableImage},     {"filter", fuzzFilter},        {"mask", fuzzMask},
    {"number_format", fuzzNumberFormat}, {"text_input", fuzzTextInput},
};

// Fixed regional settings, a fixed clock and a user interface that cancels every prompt, so a
// run depends on nothing but the input. Called by every target; cheap after the first call.
void prepareFuzzEnvironment();

// Where failed checks go; an empty handler restores the default (print and abort).
void setFuzzFailureHandler(std::function<void(const std::string& what)> handler);
void fuzzFailure(const std::string& what);

} // namespace cibrano::fuzz
