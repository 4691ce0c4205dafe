' Form properties and COM error information as a script host sees them:
' a failing property write raises a script error whose number, source and
' description come from the control's error information.
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

Check "Caption of a new control", ctl.Caption, "VellomarX"
ctl.Caption = "abc"
Check "Caption round trip", ctl.Caption, "abc"
ctl.AutoScroll = 5
Check "AutoScroll after writing 5", ctl.AutoScroll, True
Check "AutoScroll reads as -1", CInt(ctl.AutoScroll), -1
Check "AxBorderStyle of a new control", ctl.AxBorderStyle, 1
ctl.AxBorderStyle = 3
Check "AxBorderStyle round trip", ctl.AxBorderStyle, 3
' OLE_COLOR arrives as an unsigned 32-bit value, which Wine's VBScript only
' compares after a conversion.
Check "Color of a new control", CLng(ctl.Color), &HF0FBFF
Check "Font name is text", TypeName(ctl.Font.Name), "String"

On Error Resume Next
ctl.AxBorderStyle = 7
Check "failing write: error number", Err.Number, &H8000FFFF
Check "failing write: error source", Err.Source, "Vellomar.VellomarX"
Check "failing write: error description", Err.Description, "Invalid property value"
Err.Clear
ctl.PrintScale = 2
Check "successful write raises nothing", Err.Number, 0
On Error GoTo 0
Check "value kept after the failing write", ctl.AxBorderStyle, 3
Check "PrintScale round trip", ctl.PrintScale, 2

WScript.Echo "properties_and_errors_vbs: " & passed & " passed, " & failed & " failed"
