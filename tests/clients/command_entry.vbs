' Drives the control's command entry from VBScript through IDispatch:
' the answer, the error code and the error text of each command.
' Script errors stop the host silently, so the closing summary line is what
' tells the harness that every check ran.
Option Explicit

Dim passed, failed
passed = 0
failed = 0

Sub Check(what, actual, expected)
    If actual = expected Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAILED: " & what & ": got [" & actual & "], expected [" & expected & "]"
    End If
End Sub

Dim ctl
Set ctl = CreateObject("Vellomar.VellomarX")

Check "ErrCode before any command", ctl.ErrCode, 0
Check "ErrInfo before any command", ctl.ErrInfo, ""

Check "NoSuchCommand answers", ctl.Command("NoSuchCommand", "a,b"), True
Check "NoSuchCommand ErrCode", ctl.ErrCode, 0
Check "NoSuchCommand ErrInfo", ctl.ErrInfo, ""

Check "SetShowError without parameters answers", ctl.Command("SetShowError", ""), False
Check "SetShowError without parameters ErrCode", ctl.ErrCode, 1001
Check "SetShowError without parameters ErrInfo set", Len(ctl.ErrInfo) > 0, True

' A success after a failure resets the code and the text.
Check "success after failure answers", ctl.Command("NoSuchCommand", ""), True
Check "success after failure ErrCode", ctl.ErrCode, 0
Check "success after failure ErrInfo", ctl.ErrInfo, ""

' Command names match without regard to case.
Check "setshowerror 1 answers", ctl.Command("setshowerror", "1"), True
Check "setshowerror 1 ErrCode", ctl.ErrCode, 0
Check "SetShowError 0 answers", ctl.Command("SetShowError", "0"), True

' The error code reads as a number, the answer as a boolean.
Check "ErrCode type", TypeName(ctl.ErrCode), "Long"
Check "Command answer type", TypeName(ctl.Command("NoSuchCommand", "")), "Boolean"

WScript.Echo "command_entry_vbs: " & passed & " passed, " & failed & " failed"
