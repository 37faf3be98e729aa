// The automation classes as a JScript client sees them: ActiveXObject by
// ProgID, the configuration, a sound file of English text, collections read
// with Enumerator, and the engine's errors caught as exceptions.
//   cscript //nologo VorsanApi.js <Hindi text file, UTF-16>
// Prints one line per failed check, "sound: <file>" for every sound file
// made, and "<n> passed, <m> failed" last; the exit code is the failures.
var passed = 0, failed = 0;
function check(ok, what) {
    if (ok) passed++;
    else { failed++; WScript.Echo("FAIL: " + what); }
}

// What calling f throws: its number (as an unsigned HRESULT) and description.
function thrown(f) {
    try { f(); } catch (e) { return { number: e.number >>> 0, description: e.description }; }
    return null;
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var stream = fso.OpenTextFile(WScript.Arguments(0), 1, false, -1);
var hindi = stream.ReadAll().replace(/[\r\n]/g, "");
stream.Close();

var api = new ActiveXObject("VorsanCOM.VorsanAPI.1");
check(api.AU === 0 && api.AIFF === 1 && api.WAVE === 2, "the sound file types are 0, 1 and 2");

var e = thrown(function () { api.Dialect("Tamil"); });
check(e !== null, "Dialect of a language not loaded throws");
if (e) check(e.description === "Language Tamil not\tloaded in Vorsan", "its description (" + e.description + ")");
e = thrown(function () { api.AddLanguageDatabase(""); });
check(e !== null && e.number === 0x80070057, "an empty path is an invalid argument (" + (e && e.number.toString(16)) + ")");

api.LoadConfiguration();
check(api.LanguageSupported("Hindi") === 1, "the configuration loads Hindi");

var names = [];
for (var en = new Enumerator(api.AllSupportedLanguages); !en.atEnd(); en.moveNext()) names.push(en.item().Name);
check(names.length === api.AllSupportedLanguages.Count && names.length >= 2,
      "Enumerator visits every language (" + names.join(", ") + ")");

var moods = api.AllMoodsInDatabase("Hindi");
check(moods.Count >= 1, "Hindi's emotion database has moods (" + moods.Count + ")");
var mood = moods.Item(0).Name;
check(api.MoodExistsInDatabase(mood, api.EmotionDatabase("Hindi")) === 1, "its first mood, " + mood + ", is in it");

var files = api.ConvertTextToSoundFile("Good morning. How are you today?", 0, 0, api.WAVE);
for (en = new Enumerator(files); !en.atEnd(); en.moveNext()) {
    var name = en.item().Name;
    check(fso.FileExists(name) && fso.GetFile(name).Size > 44 + 16000, "the sound file " + name + " holds speech");
    var copy = fso.BuildPath(fso.GetParentFolderName(name), "js-" + fso.GetFileName(name));
    fso.CopyFile(name, copy);
    WScript.Echo("sound: " + copy);
}
check(files.Count >= 1, "English text makes a sound file");

var phonemes = api.ConvertTextToPhoneme(hindi, 0, 0, 1);
check(phonemes.Count >= 1 && phonemes.Item(0).PhoneString.length > 0, "Hindi text gives phoneme text");
var changed = thrown(function () { api.ChangeAccent(phonemes.Item(0).PhoneString, "no_TO_such"); });
check(changed !== null && changed.description.length > 0, "an unknown accent database throws with a description");

api.UnloadConfiguration();
WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed);
