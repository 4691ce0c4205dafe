// Drives the control's command entry from JScript through IDispatch, with
// the Chinese error texts (written as \u escapes: the script host reads the
// file in the ANSI code page). Script errors stop the host silently, so the
// closing summary line is what tells the harness that every check ran.
var passed = 0, failed = 0;

function check(what, actual, expected) {
    if (actual === expected) {
        passed++;
    } else {
        failed++;
        WScript.Echo("FAILED: " + what + ": got [" + actual + "], expected [" + expected + "]");
    }
}

var kParamCount = "\u53C2\u6570\u6570\u91CF\u6709\u8BEF\uFF0C\u8BF7\u68C0\u67E5\uFF01";
var ctl = new ActiveXObject("Vellomar.VellomarX");

check("NoSuchCommand answers", ctl.Command("NoSuchCommand", "x"), true);
check("NoSuchCommand ErrCode", ctl.ErrCode, 0);
check("NoSuchCommand ErrInfo", ctl.ErrInfo, "");

check("SetShowError without parameters answers", ctl.Command("SetShowError", ""), false);
check("SetShowError without parameters ErrCode", ctl.ErrCode, 1001);
check("SetShowError without parameters ErrInfo", ctl.ErrInfo, kParamCount);

check("success after failure answers", ctl.Command("NoSuchCommand", ""), true);
check("success after failure ErrCode", ctl.ErrCode, 0);
check("success after failure ErrInfo", ctl.ErrInfo, "");

check("setshowerror 1 answers", ctl.Command("setshowerror", "1"), true);
check("SetShowError 0 answers", ctl.Command("SetShowError", "0"), true);

// Non-ASCII text crosses the interface both ways: a caption round trip.
var caption = "\u6279\u6CE8 \u00E9\u4E2D";
ctl.Caption = caption;
check("non-ASCII caption round trip", ctl.Caption, caption);

// Two controls keep their own error state.
var other = new ActiveXObject("Vellomar.VellomarX");
ctl.Command("SetShowError", "");
check("second control untouched", other.ErrCode, 0);
check("first control failed", ctl.ErrCode, 1001);

WScript.Echo("command_entry_js: " + passed + " passed, " + failed + " failed");
