// The file commands against the loopback FTP and HTTP servers that the
// harness started: FTP download, upload and delete by command, URL loads.
var env = new ActiveXObject("WScript.Shell").Environment("PROCESS");
var fso = new ActiveXObject("Scripting.FileSystemObject");
var passed = 0, failed = 0;

function check(what, condition) {
    if (condition) { passed++; } else { failed++; WScript.Echo("FAILED: " + what); }
}
function expectRun(ctl, name, params, ok, code) {
    var answer = ctl.Command(name, params);
    check(name + "(" + params + ") answers " + ok + " (got " + answer + ", " + ctl.ErrCode + " " + ctl.ErrInfo + ")",
          answer === ok);
    check(name + "(" + params + ") ErrCode " + code + " (got " + ctl.ErrCode + ")", ctl.ErrCode === code);
}
function windowsPath(unixPath) { return "Z:" + unixPath.replace(/\//g, "\\"); }

var port = env("VELLOMAR_FTP_PORT"), httpPort = env("VELLOMAR_HTTP_PORT");
if (port === "" || httpPort === "") {
    WScript.Echo("ftp_commands.js: the loopback servers are not running");
    WScript.Echo("ftp_commands.js: 0 passed, 1 failed");
    WScript.Quit(1);
}
var user = env("VELLOMAR_FTP_USER"), password = env("VELLOMAR_FTP_PASSWORD");
var ftpRoot = windowsPath(env("VELLOMAR_FTP_ROOT"));
var pictures = env("VELLOMAR_PICTURES");
var http = "http://127.0.0.1:" + httpPort + "/";

var ctl = new ActiveXObject("Vellomar.VellomarX");
expectRun(ctl, "LoadPicture", "1,incoming/page.jpg", false, 5001);  // no server set yet
expectRun(ctl, "SetFtpParam", "127.0.0.1," + port + "," + user + "," + password, true, 0);

expectRun(ctl, "LoadPicture", "1,incoming/page.jpg", true, 0);
check("local copy of the download", fso.FileExists(pictures + "\\incoming\\page.jpg"));
expectRun(ctl, "LoadPicture", "1,incoming/missing.jpg", false, 5001);
expectRun(ctl, "LoadPicture", "1,..\\outside.jpg", false, 0);

expectRun(ctl, "RotateLeft", "", true, 0);
expectRun(ctl, "SavePicture", "1,2025/07/saved.jpg", true, 0);
check("uploaded into new server folders", fso.FileExists(ftpRoot + "\\2025\\07\\saved.jpg"));
check("local copy of the upload", fso.FileExists(pictures + "\\2025\\07\\saved.jpg"));
expectRun(ctl, "DeletePicture", "1,2025/07/saved.jpg", true, 0);
check("deleted on the server", !fso.FileExists(ftpRoot + "\\2025\\07\\saved.jpg"));
check("local copy kept after the delete", fso.FileExists(pictures + "\\2025\\07\\saved.jpg"));
expectRun(ctl, "DeletePicture", "1,2025/07/saved.jpg", false, 5003);

expectRun(ctl, "LoadPicture", "2," + http + "page.png", true, 0);
expectRun(ctl, "LoadPicture", "2," + http + "page.jpg", true, 0);
expectRun(ctl, "LoadPicture", "2," + http + "no-such-page.png", false, 0);
expectRun(ctl, "LoadPicture", "2," + http + "not-a-picture.txt", false, 0);
expectRun(ctl, "LoadPicture", "2,ftp://" + user + ":" + password + "@127.0.0.1:" + port + "/incoming/page.jpg", true, 0);

expectRun(ctl, "SetFtpParam", "127.0.0.1," + port + "," + user + ",wrong", true, 0);
expectRun(ctl, "LoadPicture", "1,incoming/page.jpg", false, 5001);

WScript.Echo("ftp_commands.js: " + passed + " passed, " + failed + " failed");
