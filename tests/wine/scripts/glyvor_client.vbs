' A script client of "Glyvor.Document", as any script language reaches an
' automation server: methods by name, variables for the outputs (passed by
' reference as VARIANTs), literals of whatever type the language gives them.
Option Explicit
Dim glyvor, id, detail, matched, state, failure, loaded

Set glyvor = CreateObject("Glyvor.Document")
WScript.Echo "object: " & TypeName(glyvor)

glyvor.MatchFont "No Such Font", "", "", 0, 0, "", 30, id, detail, matched
WScript.Echo "No Such Font: matched " & matched & ", identifier [" & id & "]"

glyvor.MatchFont "Liberation Sans Bold", "", "", 0, 0, "", 30, id, detail, matched
WScript.Echo "Liberation Sans Bold: matched " & matched & ", identifier " & id & " (" & TypeName(id) & ")"

glyvor.GetFontState id, state
WScript.Echo "state " & state & " (" & TypeName(state) & ")"

' The activate flag as a number and the reserved long as text: both coerced.
glyvor.LoadFont id, "0", 1, failure, loaded
WScript.Echo "activated " & loaded & ", error [" & failure & "]"

glyvor.GetFontState id, state
WScript.Echo "state " & state

' Refused calls: the error a script sees.
On Error Resume Next
glyvor.GetFontState id
WScript.Echo "one argument short: " & Hex(Err.Number)
Err.Clear
glyvor.LoadFont id, "zero", True, failure, loaded
WScript.Echo "text for a number: " & Hex(Err.Number)
Err.Clear
glyvor.GetFontState id, 10
WScript.Echo "a literal for an output: " & Hex(Err.Number)
