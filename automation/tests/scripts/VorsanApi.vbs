' The automation classes as a VBScript client sees them through late binding:
' class creation by ProgID, the configuration, sound files and phonemes of
' Hindi and English text, collections read with For Each, and the engine's
' errors caught with their descriptions.
'   cscript //nologo VorsanApi.vbs <Hindi text file, UTF-16>
' Prints one line per failed check, "sound: <file>" for every sound file made
' (the runner measures them), and "<n> passed, <m> failed" last; the exit
' code is the number of failures.
Option Explicit

Dim passed, failed
passed = 0
failed = 0

Sub Check(ok, what)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

' The whole of a UTF-16 text file, without its line end.
Function ReadText(path)
    Dim stream
    Set stream = CreateObject("Scripting.FileSystemObject").OpenTextFile(path, 1, False, -1)
    ReadText = Replace(Replace(stream.ReadAll, vbCr, ""), vbLf, "")
    stream.Close
End Function

Const E_INVALIDARG_VB = 5   ' VBScript's number for E_INVALIDARG
Const DISP_E_EXCEPTION = &H80020009

Dim hindi, english
' Hindi text comes as a file (argument 1): VBScript here has no ChrW.
hindi = ReadText(WScript.Arguments(0))
Check Len(hindi) > 10, "the Hindi text is read"
english = "Hello world. This is a test of the speech engine."

Dim api, plain
Set api = CreateObject("VorsanCOM.VorsanAPI.1")
' The version-independent ProgID names the same class through CurVer.
Set plain = CreateObject("VorsanCOM.VorsanAPI")
Check TypeName(plain) = "IVorsanAPI", "the version-independent ProgID makes a VorsanAPI (" & TypeName(plain) & ")"
Set plain = Nothing

' A new object holds English only.
Check api.LanguageSupported("English (United States)") = 1, "English is built in"
Check api.LanguageSupported("Hindi") = 0, "Hindi is not loaded before the configuration"
Check api.LanguageSupported("") = 0, "an empty language name is not supported"
Check api.AllSupportedLanguages.Count = 1, "one language before the configuration"
Check api.AU = 0 And api.AIFF = 1 And api.WAVE = 2, "the sound file types are 0, 1 and 2"

' Errors: the engine's message as the description, the class's ProgID as the source.
On Error Resume Next
Dim s
s = api.Dialect("Hindi")
Check Err.Number = DISP_E_EXCEPTION, "Dialect of a language not loaded fails with DISP_E_EXCEPTION (" & Hex(Err.Number) & ")"
Check Err.Description = "Language Hindi not" & vbTab & "loaded in Vorsan", "its description (" & Err.Description & ")"
Check Err.Source = "VorsanCOM.VorsanAPI.1", "its source (" & Err.Source & ")"
Err.Clear
s = api.Dialect("")
Check Err.Number = E_INVALIDARG_VB, "an empty language name is an invalid argument (" & Hex(Err.Number) & ")"
Err.Clear
On Error GoTo 0

api.LoadConfiguration
Check api.LanguageSupported("Hindi") = 1, "the configuration loads Hindi"

' A loaded configuration locks the one-by-one operations.
On Error Resume Next
api.RemoveLanguageDatabase "Hindi"
Check Err.Number = DISP_E_EXCEPTION, "removing a language under a loaded configuration fails (" & Hex(Err.Number) & ")"
Check InStr(Err.Description, "Vorsan loaded by tolvane config file, so can't ") = 1, _
    "its description (" & Err.Description & ")"
Err.Clear
On Error GoTo 0

' Collections: For Each, Count, Item (also the default member) and its range.
Dim languages, name, seen, hasHindi, hasEnglish
Set languages = api.AllSupportedLanguages
seen = 0
hasHindi = False
hasEnglish = False
For Each name In languages
    seen = seen + 1
    If name.Name = "Hindi" Then hasHindi = True
    If name.Name = "English (United States)" Then hasEnglish = True
Next
Check seen = languages.Count And seen >= 2, "For Each visits every language (" & seen & " of " & languages.Count & ")"
Check hasHindi And hasEnglish, "the languages include Hindi and English"
Check languages(0).Name = languages.Item(0).Name, "Item is the default member"
On Error Resume Next
Set name = languages.Item(languages.Count)
Check Err.Number = E_INVALIDARG_VB, "Item(Count) is an invalid argument (" & Hex(Err.Number) & ")"
Err.Clear
On Error GoTo 0

' Settings of a language, read back; a Variant holding a string coerces.
Dim pitch
pitch = api.Pitch("Hindi")
api.Pitch("Hindi") = "0.5"
Check Abs(api.Pitch("Hindi") - 0.5) < 0.0001, "Pitch put from a string is read back"
api.Pitch("Hindi") = pitch
Check api.VoiceFrequency("Hindi") = 16000, "Hindi speaks at 16000 Hz (" & api.VoiceFrequency("Hindi") & ")"

' Sound files of Hindi and of English text.
Dim fso, files, file, made
Set fso = CreateObject("Scripting.FileSystemObject")
Dim texts, labels, k, copy
texts = Array(hindi, english)
labels = Array("hindi", "english")
For k = 0 To 1
    Set files = api.ConvertTextToSoundFile(texts(k), 0, 0, api.WAVE)
    made = 0
    For Each file In files
        made = made + 1
        Check fso.FileExists(file.Name), "the sound file " & file.Name & " is there"
        If fso.FileExists(file.Name) Then
            ' 16-bit mono: at least half a second of sound.
            Check fso.GetFile(file.Name).Size > 44 + 16000, "the sound file " & file.Name & " holds speech"
            ' The next conversion reuses the names: the runner measures a copy.
            copy = fso.BuildPath(fso.GetParentFolderName(file.Name), labels(k) & "-" & fso.GetFileName(file.Name))
            fso.CopyFile file.Name, copy
            WScript.Echo "sound: " & copy
        End If
    Next
    Check made = files.Count And made >= 1, "For Each visits every sound file (" & made & ")"
Next
Set files = api.ConvertTextToSoundFile("", 0, 0, api.WAVE)
Check files.Count = 0, "empty text makes no sound file"

' Phonemes of two languages: one Phoneme per run, each with its own database.
Dim phonemes, phone, databases
Set phonemes = api.ConvertTextToPhoneme(hindi & " " & english, 0, 0, 0)
databases = ""
For Each phone In phonemes
    databases = databases & phone.MbrolaDatabase & " "
    Check Len(phone.PhoneString) > 0, "a phoneme run has phoneme text"
    Check phone.VoiceFrequency > 0, "a phoneme run has a voice frequency"
Next
Check phonemes.Count >= 2, "Hindi and English text gives two runs (" & phonemes.Count & ")"
Check InStr(databases, "in1") > 0 And InStr(databases, "en1") > 0, "each run has its own database (" & databases & ")"

' Value classes made by clients.
Dim p, list, m
Set p = CreateObject("VorsanCOM.Phoneme.1")
p.VoiceFrequency = 22050
Check p.VoiceFrequency = 22050, "a Phoneme keeps its voice frequency"
On Error Resume Next
p.VoiceFrequency = 0
Check Err.Number <> 0, "a voice frequency of 0 Hz is refused"
Err.Clear
p.VoiceFrequency = 40000
Check Err.Number <> 0, "a voice frequency past 16 bits is refused"
Err.Clear
On Error GoTo 0
Set list = CreateObject("VorsanCOM.MStringList.1")
Dim word
For Each word In Array("a", "b", "c")
    Set m = CreateObject("VorsanCOM.MString.1")
    m.Name = word
    list.Add m
Next
list.Remove 1
Dim joined
joined = ""
For Each m In list
    joined = joined & m.Name
Next
Check joined = "ac" And list.Count = 2, "an MStringList made by a client adds, removes and enumerates (" & joined & ")"

api.UnloadConfiguration
Check api.LanguageSupported("Hindi") = 0, "unloading the configuration drops Hindi"

WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
