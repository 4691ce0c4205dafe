#pragma once
// Runs one command on a controller the way the control's entry does (reset,
// parameters, lookup) and answers the raised error's text, "" on success.
#include <string>

#include "command/ControlerBase.h"
#include "platform/VellomarError.h"

namespace vellomar::testing {

inline std::string RunCommand(TControlerBase& controler, const std::string& name,
                              const std::string& params) {
    controler.FErrCode = 0;
    controler.FErrInfo.clear();
    controler.SetParamText(params);
    try {
        controler.ExecCommand(name);
    } catch (const EVellomarError& e) {
        return e.what();
    }
    return "";
}

}  // namespace vellomar::testing
