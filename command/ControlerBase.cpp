#include "command/ControlerBase.h"

#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace ErrorMessages {
const char* const kParamCount = "参数数量有误，请检查！";
const char* const kParamEmpty = "第%d个参数为空，请检查！";
const char* const kDownloadFailed = "文件下载失败！";
const char* const kUploadFailed = "文件上传失败！";
const char* const kDeleteFailed = "文件删除失败！";
const char* const kFileMissing = "文件[%s]不存在！";
}  // namespace ErrorMessages

namespace {

constexpr size_t kMaxCommandName = 255;
constexpr char kPromptCaption[] = "提示";

bool IsBlank(char c) { return c >= 1 && c <= 32; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameNameIgnoringAsciiCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == '\0' || AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return b[i] == '\0';
}

// Reads a quoted item starting after its opening quote; 'pos' ends after the
// closing quote, or at the end of the text when the quote is not closed.
std::string ReadQuotedItem(const std::string& text, size_t& pos) {
    std::string item;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c != '"') {
            item += c;
        } else if (pos < text.size() && text[pos] == '"') {
            item += '"';
            ++pos;
        } else {
            break;
        }
    }
    return item;
}

}  // namespace

bool TryReadInteger(const std::string& text, int32_t& value) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) return false;

    if (hex) {
        uint32_t pattern = 0;
        int significant = 0;
        for (; i < n; ++i) {
            int d = HexDigit(text[i]);
            if (d < 0) return false;
            if (significant > 0 || d != 0) ++significant;
            if (significant > 8) return false;
            pattern = (pattern << 4) | uint32_t(d);
        }
        uint32_t result = negative ? uint32_t(0) - pattern : pattern;
        value = int32_t(result);
        return true;
    }

    int64_t magnitude = 0;
    for (; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t(INT32_MAX) + 1) return false;
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) return false;
    value = int32_t(result);
    return true;
}

int32_t ReadInteger(const std::string& text, int32_t fallback) {
    int32_t value;
    return TryReadInteger(text, value) ? value : fallback;
}

std::vector<std::string> SplitParamText(const std::string& whole) {
    // A NUL ends the text, as it does for the system's 8-bit strings.
    const std::string text = whole.substr(0, whole.find('\0'));
    std::vector<std::string> items;
    size_t pos = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] { while (pos < n && IsBlank(text[pos])) ++pos; };

    skipBlanks();
    while (pos < n) {
        if (text[pos] == '"') {
            ++pos;
            items.push_back(ReadQuotedItem(text, pos));
        } else {
            size_t start = pos;
            while (pos < n && !IsBlank(text[pos]) && text[pos] != ',') ++pos;
            items.push_back(text.substr(start, pos - start));
        }
        skipBlanks();
        if (pos < n && text[pos] == ',') {
            if (pos == n - 1) items.emplace_back();
            ++pos;
            skipBlanks();
        }
    }
    return items;
}

std::string FormatMessage(const char* pattern, int32_t value) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, int(value));
    return buffer;
}

std::string FormatMessage(const char* pattern, const std::string& value) {
    const std::string p(pattern);
    const size_t at = p.find("%s");
    if (at == std::string::npos) return p;
    return p.substr(0, at) + value + p.substr(at + 2);
}

TControlerBase::TControlerBase(const TCommandEntry* commands, size_t count, IMessageBox* messageBox)
    : FCommands(commands), FCommandCount(count), FMessageBox(messageBox) {}

TControlerBase::~TControlerBase() = default;

void TControlerBase::SetParamText(const std::string& text) { FParams = SplitParamText(text); }

const TCommandEntry* TControlerBase::Find(const std::string& name) const {
    const std::string cut = name.substr(0, kMaxCommandName);
    for (size_t i = 0; i < FCommandCount; ++i) {
        if (SameNameIgnoringAsciiCase(cut, FCommands[i].Name)) return &FCommands[i];
    }
    return nullptr;
}

bool TControlerBase::CommandExists(const std::string& name) const { return Find(name) != nullptr; }

bool TControlerBase::ExecCommand(const std::string& name) {
    const TCommandEntry* command = Find(name);
    if (!command) return false;
    command->Run(*this);
    return true;
}

const std::string& TControlerBase::GetParam(int32_t index) const {
    if (index < 0 || index >= ParamCount()) {
        throw EVellomarError(FormatMessage("List index out of bounds (%d)", index));
    }
    return FParams[size_t(index)];
}

void TControlerBase::CheckError(bool condition, int32_t code, const std::string& message) {
    if (!condition) return;
    FErrCode = code;
    FErrInfo = message;
    throw EVellomarError(FErrInfo);
}

void TControlerBase::CheckParamCount(int32_t required) {
    CheckError(ParamCount() < required, ErrorCodes::kParamCount, ErrorMessages::kParamCount);
}

void TControlerBase::CheckParamsNotEmpty(int32_t a, int32_t b) {
    int32_t lo = a < b ? a : b;
    const int32_t hi = a < b ? b : a;
    if (lo == -1) lo = hi;
    for (int32_t i = lo; i <= hi; ++i) {
        CheckError(GetParam(i).empty(), ErrorCodes::kParamEmpty,
                   FormatMessage(ErrorMessages::kParamEmpty, i + 1));
    }
}

void TControlerBase::CheckFileExists(const std::string& path) {
    CheckError(!FileExists(path), ErrorCodes::kFileMissing,
               FormatMessage(ErrorMessages::kFileMissing, path));
}

void TControlerBase::ShowPrompt(const std::string& message) {
    if (FMessageBox) FMessageBox->Show(message, kPromptCaption);
}

}  // namespace vellomar
