// Drives the registered control from the script host on a local JPEG:
// load, turn, straighten, crop, undo and save; file errors with their codes.
// Reads the fixture and output folders from VELLOMAR_FIXTURES / VELLOMAR_OUT.
var env = new ActiveXObject("WScript.Shell").Environment("PROCESS");
var fixtures = env("VELLOMAR_FIXTURES"), out = env("VELLOMAR_OUT");
var passed = 0, failed = 0;

function check(what, condition) {
    if (condition) { passed++; } else { failed++; WScript.Echo("FAILED: " + what); }
}
function expectRun(ctl, name, params, ok, code, info) {
    var answer = ctl.Command(name, params);
    check(name + "(" + params + ") answers " + ok + " (got " + answer + ")", answer === ok);
    check(name + " ErrCode " + code + " (got " + ctl.ErrCode + ")", ctl.ErrCode === code);
    if (info !== undefined) {
        check(name + " ErrInfo [" + info + "] (got [" + ctl.ErrInfo + "])", ctl.ErrInfo === info);
    }
}

var ctl = new ActiveXObject("Vellomar.VellomarX");
var page = fixtures + "\\bordered-bars.jpg";
var saved = out + "\\picture-commands-saved.jpg";

expectRun(ctl, "LoadPicture", "0,\"" + page + "\"", true, 0, "");
expectRun(ctl, "RotateLeft", "", true, 0, "");
expectRun(ctl, "Undo", "", true, 0, "");
expectRun(ctl, "Correction", "", true, 0, "");
expectRun(ctl, "AutoCrop", "", true, 0, "");
expectRun(ctl, "RotateLeft", "", true, 0, "");
expectRun(ctl, "Undo", "", true, 0, "");
expectRun(ctl, "SavePicture", "0,\"" + saved + "\"", true, 0, "");

var missing = fixtures + "\\no such page.jpg";
expectRun(ctl, "LoadPicture", "0,\"" + missing + "\"", false, 5004,
          "\u6587\u4ef6[" + missing + "]\u4e0d\u5b58\u5728\uff01");
expectRun(ctl, "LoadPicture", "0,", false, 1002, "\u7b2c2\u4e2a\u53c2\u6570\u4e3a\u7a7a\uff0c\u8bf7\u68c0\u67e5\uff01");
expectRun(ctl, "SavePicture", "0,bare.jpg", false, 0, "");
expectRun(ctl, "DeletePicture", "0,\"" + out + "\\never-there.jpg\"", false, 5003, "\u6587\u4ef6\u5220\u9664\u5931\u8d25\uff01");
expectRun(ctl, "SavePicture", "0,\"" + out + "\\unknown.format\"", false, 0, "");

WScript.Echo("picture_commands.js: " + passed + " passed, " + failed + " failed");
