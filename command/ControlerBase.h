#pragma once
// The reusable base of a command controller: the parameter list of the
// current command, the last error code and text, command lookup by name and
// the checks that every command uses with one wording.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Services.h"

namespace vellomar {

class TControlerBase;

// One published command: its name and the operation that runs it.
struct TCommandEntry {
    const char* Name;
    void (*Run)(TControlerBase& controler);
};

// The codes and messages that the checks raise.
namespace ErrorCodes {
constexpr int32_t kParamCount = 1001;
constexpr int32_t kParamEmpty = 1002;
constexpr int32_t kDownloadFailed = 5001;
constexpr int32_t kUploadFailed = 5002;
constexpr int32_t kDeleteFailed = 5003;
constexpr int32_t kFileMissing = 5004;
}  // namespace ErrorCodes
namespace ErrorMessages {
extern const char* const kParamCount;     // 1001
extern const char* const kParamEmpty;     // 1002, %d = 1-based item number
extern const char* const kDownloadFailed; // 5001
extern const char* const kUploadFailed;   // 5002
extern const char* const kDeleteFailed;   // 5003
extern const char* const kFileMissing;    // 5004, %s = the path as used
}  // namespace ErrorMessages

// Reads a signed 32-bit whole number: leading spaces, one optional sign,
// then decimal digits or hexadecimal digits after $, x, X, 0x or 0X (the
// 32-bit pattern of at most eight significant digits). Anything else, an
// out-of-range decimal or trailing characters give 'fallback'.
int32_t ReadInteger(const std::string& text, int32_t fallback);
// The same, answering whether the text was a number.
bool TryReadInteger(const std::string& text, int32_t& value);

// Splits a parameter text into items: comma-delimited, double-quote quoting
// with doubled quotes, blanks (codes 1 to 32) separating unquoted items.
std::vector<std::string> SplitParamText(const std::string& text);

class TControlerBase {
public:
    TControlerBase(const TCommandEntry* commands, size_t count, IMessageBox* messageBox);
    virtual ~TControlerBase();

    void SetParamText(const std::string& text);
    bool ExecCommand(const std::string& name);
    bool CommandExists(const std::string& name) const;
    int32_t ParamCount() const { return int32_t(FParams.size()); }
    // Raises "List index out of bounds (%d)" (no code) outside the list.
    const std::string& GetParam(int32_t index) const;

    void CheckError(bool condition, int32_t code, const std::string& message);
    void CheckParamCount(int32_t required);
    void CheckParamsNotEmpty(int32_t a, int32_t b);
    void CheckFileExists(const std::string& path);
    void ShowPrompt(const std::string& message);

    std::vector<std::string> FParams;
    int32_t FErrCode = 0;
    std::string FErrInfo;

private:
    const TCommandEntry* Find(const std::string& name) const;

    const TCommandEntry* FCommands;
    size_t FCommandCount;
    IMessageBox* FMessageBox;
};

// printf-style filling of the messages' single %d or %s.
std::string FormatMessage(const char* pattern, int32_t value);
std::string FormatMessage(const char* pattern, const std::string& value);

}  // namespace vellomar
