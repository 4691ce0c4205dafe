// A short host session against the registered control: each command is
// printed with its answer, error code and error text.
// Usage: cscript //nologo demo_session.js <sample page> <output folder>
// The lines also go to demo-session.txt in UTF-16, since the console's code
// page may not show the control's Chinese texts.
var args = WScript.Arguments;
var page = args(0), outDir = args(1);
var ctl = new ActiveXObject("Vellomar.VellomarX");
var fso = new ActiveXObject("Scripting.FileSystemObject");
var transcript = fso.CreateTextFile(outDir + "\\demo-session.txt", true, true);

function run(name, params) {
    var ok = ctl.Command(name, params);
    transcript.WriteLine(pad(name + "(" + params + ")", 60) + " -> " + ok +
                         "  ErrCode=" + ctl.ErrCode + "  ErrInfo=" + ctl.ErrInfo);
    return ok;
}
function pad(s, n) { while (s.length < n) s += " "; return s; }

run("NoSuchCommand", "");
run("SetShowError", "");
run("LoadPicture", "0,\"" + outDir + "\\missing.jpg\"");
run("LoadPicture", "0,\"" + page + "\"");
run("Correction", "");
run("AutoCrop", "");
run("RotateLeft", "");
run("RotateRight", "");
run("ZoomIn", "");
run("FitImage", "");
run("EditPicture", "1");
run("MarkPicture", "1");
run("SavePicture", "0,\"" + outDir + "\\page-straightened.jpg\"");
run("Undo", "");
run("SavePicture", "0,page.jpg");
run("loadpicture", "0,\"" + outDir + "\\page-straightened.jpg\"");
transcript.Close();
