// The native part of the Python package `vorsan`: the engine, its speech as
// numpy arrays, sentence-by-sentence streams and the engine's errors as
// vorsan.EngineError. The interpreter lock is released whenever the engine
// works or is waited for.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "CollectedAudio.h"
#include "EngineHandle.h"
#include "SpeechStream.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace vorsan::python {
namespace {

PyObject* engineError = nullptr;
unsigned long mainThread = 0; // the interpreter's main thread, where signal handlers run

// Lets Ctrl+C end speech made on the interpreter's main thread: while the
// engine works there without the interpreter lock, the signal handlers get
// their turn every 50 ms; one that raises (KeyboardInterrupt) ends the speech,
// and raise() hands its exception on. Elsewhere it does nothing (signal
// handlers only ever run on the main thread). Make it with the lock held.
class SignalCheck {
public:
    SignalCheck() : active_(PyThread_get_thread_ident() == mainThread) {}

    // Without the interpreter lock.
    bool operator()() {
        if (!active_ || error_) return error_ != nullptr;
        const auto now = std::chrono::steady_clock::now();
        if (now < next_) return false;
        next_ = now + std::chrono::milliseconds(50);
        py::gil_scoped_acquire gil;
        if (PyErr_CheckSignals() != 0) error_ = std::make_unique<py::error_already_set>();
        return error_ != nullptr;
    }
    // With the interpreter lock.
    void raise() {
        if (error_) throw py::error_already_set(*error_);
    }

private:
    bool active_;
    std::chrono::steady_clock::time_point next_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    std::unique_ptr<py::error_already_set> error_;
};

// The engine's message as it is; bytes that are not UTF-8 (a file name in
// another encoding) survive as surrogate escapes.
py::str messageText(const std::string& m) {
    PyObject* s = PyUnicode_DecodeUTF8(m.data(), static_cast<Py_ssize_t>(m.size()), "surrogateescape");
    if (!s) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}

MoodChoice moodOf(const py::object& mood) {
    if (mood.is_none()) return {};
    if (py::isinstance<py::bool_>(mood))
        return mood.cast<bool>() ? MoodChoice{MoodChoice::Configured, {}} : MoodChoice{};
    if (py::isinstance<py::str>(mood)) return {MoodChoice::Named, mood.cast<std::u16string>()};
    throw py::type_error("mood must be a mood name, True (each language's own mood) or None");
}

Request requestOf(std::u16string text, const py::object& mood, bool accent) {
    return {std::move(text), moodOf(mood), accent};
}

synth::SoundFileType fileTypeOf(const std::string& path) {
    const auto type = soundFileTypeOf(path);
    if (!type) throw py::value_error("'" + path + "': the file name must end in .wav, .aiff, .aif or .au");
    return *type;
}

// Runs f(engine) under the engine's lock, without the interpreter lock.
template <class F>
auto withEngine(EngineHandle& h, F&& f) {
    CallUnderWay call;
    py::gil_scoped_release nogil;
    auto lock = h.lock();
    return f(h.engine());
}

std::vector<std::string> utf8List(const StringList& list) {
    std::vector<std::string> out;
    for (const auto& s : list) out.push_back(utf16ToUtf8(s));
    return out;
}

struct VoiceInfo {
    std::string language, database, dialect, emotionDatabase, accentDatabase;
    float pitch, time;
    int32_t frequency;
    std::vector<std::string> moods;
    std::string mood;
    LanguageDescription described;
};

py::dict voiceDict(const VoiceInfo& v) {
    py::object none = py::none();
    return py::dict("language"_a = v.language, "database"_a = v.database, "dialect"_a = v.dialect,
                    "pitch"_a = v.pitch, "time"_a = v.time, "voice_frequency"_a = v.frequency,
                    "emotion_database"_a = v.emotionDatabase.empty() ? none : py::str(v.emotionDatabase),
                    "accent_database"_a = v.accentDatabase.empty() ? none : py::str(v.accentDatabase),
                    "moods"_a = v.moods, "mood"_a = v.mood.empty() ? none : py::str(v.mood),
                    "code"_a = v.described.code.empty() ? none : py::str(v.described.code),
                    "country"_a = v.described.country.empty() ? none : py::str(v.described.country),
                    "windows_id"_a = v.described.windowsId == 0 ? none : py::int_(v.described.windowsId),
                    "script"_a = v.described.scriptEnd == 0
                                     ? none
                                     : py::object(py::make_tuple(int{v.described.scriptStart}, int{v.described.scriptEnd})),
                    "sample"_a = utf16ToUtf8(v.described.sample));
}

std::vector<VoiceInfo> voicesOf(SpeechEngine& e) {
    std::vector<VoiceInfo> out;
    for (const auto& name : utf8List(e.allSupportedLanguages())) {
        VoiceInfo v{name, e.mbrolaDatabase(name), e.dialect(name), e.emotionDatabase(name), e.accentDatabase(name),
                    e.pitch(name), e.time(name), e.voiceFrequency(name), {}, {}, e.describeLanguage(name)};
        if (!v.emotionDatabase.empty()) {
            v.moods = utf8List(e.allMoodsInDatabase(name));
            v.mood = utf16ToUtf8(e.activeMood(name));
        }
        out.push_back(std::move(v));
    }
    return out;
}

const char* kMoodDoc = "mood: None (no emotion), a mood name such as \"Happy\" (for every language whose emotion "
                       "database has it), or True (each language's own active mood).";

// A number as Python would show it in a message (-5, 0.5, 1e+30, nan).
std::string shownNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

} // namespace
} // namespace vorsan::python

PYBIND11_MODULE(_vorsan, m) {
    using namespace vorsan;
    using namespace vorsan::python;
    m.doc() = "Native part of the vorsan package (use the package `vorsan`).";
    m.attr("__version__") = VORSAN_VERSION;
    mainThread = py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();

    engineError = PyErr_NewExceptionWithDoc("vorsan.EngineError",
                                            "A failure the engine reports; str(error) is the engine's message.",
                                            PyExc_RuntimeError, nullptr);
    m.add_object("EngineError", py::handle(engineError));
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const MException& e) {
            PyErr_SetObject(engineError, messageText(e.message()).ptr());
        }
    });

    // At the interpreter's exit every engine is stopped and the calls under
    // way (a daemon thread's, say) are waited for, before the module's
    // objects and the interpreter go.
    py::module_::import("atexit").attr("register")(py::cpp_function([] {
        py::gil_scoped_release nogil;
        stopEveryEngine();
    }));

    py::class_<WordPlace>(m, "Word", "Where a word of the text begins in the audio.")
        .def_readonly("offset", &WordPlace::offset, "Index of the word's first character in the text.")
        .def_readonly("length", &WordPlace::length, "Number of characters of the word.")
        .def_readonly("sample", &WordPlace::sample, "Index of the sample where the word begins.")
        .def("__repr__", [](const WordPlace& w) {
            return py::str("Word(offset={}, length={}, sample={})").format(w.offset, w.length, w.sample);
        });

    py::class_<SentencePlace>(m, "Sentence", "Where a sentence of the text lies in the audio.")
        .def_readonly("offset", &SentencePlace::offset, "Index of the sentence's first word in the text.")
        .def_readonly("length", &SentencePlace::length, "Characters from its first word to the end of its last.")
        .def_readonly("start", &SentencePlace::start, "Index of its first sample.")
        .def_readonly("end", &SentencePlace::end, "Index one past its last sample.")
        .def("__repr__", [](const SentencePlace& s) {
            return py::str("Sentence(offset={}, length={}, start={}, end={})").format(s.offset, s.length, s.start,
                                                                                    s.end);
        });

    py::class_<Audio>(m, "Audio",
                      "Speech: 16-bit mono samples at one rate (runs of other voices converted to the first "
                      "one's), with where each word and sentence begins.")
        .def_readonly("sample_rate", &Audio::rate, "Samples per second.")
        .def_property_readonly_static("sample_width", [](py::object) { return 2; }, "Bytes per sample (2).")
        .def_property_readonly_static("channels", [](py::object) { return 1; }, "Number of channels (1).")
        .def_property_readonly(
            "samples",
            [](py::object self) {
                const Audio& a = self.cast<const Audio&>();
                py::array_t<int16_t> view(static_cast<py::ssize_t>(a.samples.size()), a.samples.data(), self);
                // Read-only, as numpy's setflags(write=False) makes it, without
                // the cost of a Python call on every access.
                py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
                return view;
            },
            "The samples as a read-only numpy int16 array (a view; copy it to change it).")
        .def_property_readonly("duration", [](const Audio& a) { return static_cast<double>(a.samples.size()) / a.rate; },
                               "Length in seconds.")
        .def_readonly("words", &Audio::words, "Where each word begins (list of Word).")
        .def_readonly("sentences", &Audio::sentences, "Where each sentence lies (list of Sentence).")
        .def_readonly("stopped", &Audio::stopped, "True when Engine.stop() ended the speech early.")
        .def("__len__", [](const Audio& a) { return a.samples.size(); })
        .def(
            "to_bytes", [](const Audio& a) { return py::bytes(a.bytes()); },
            "The samples as raw little-endian 16-bit PCM bytes.")
        .def(
            "save",
            [](const Audio& a, const std::filesystem::path& path) {
                const std::string p = path.string();
                const synth::SoundFileType type = fileTypeOf(p);
                py::gil_scoped_release nogil;
                a.save(p, type);
            },
            "path"_a,
            "Writes a WAVE, AIFF or AU file, chosen by the name's suffix (.wav, .aiff/.aif, .au), the same file "
            "the engine writes for the same speech. The file appears only when complete.")
        .def("__repr__", [](const Audio& a) {
            return py::str("<vorsan.Audio {} Hz, {:.3f} s, {} words>")
                .format(a.rate, static_cast<double>(a.samples.size()) / a.rate, a.words.size());
        });

    py::class_<SpeechChunk>(m, "PhonemeChunk", "Phoneme text for one voice database, with its voice settings.")
        .def_readonly("database", &SpeechChunk::mbrolaDatabase, "The voice database it is for.")
        .def_readonly("pitch", &SpeechChunk::pitch, "Pitch ratio.")
        .def_readonly("time", &SpeechChunk::time, "Duration ratio.")
        .def_readonly("voice_frequency", &SpeechChunk::voiceFrequency, "Output sample rate.")
        .def_readonly("phonemes", &SpeechChunk::phoneString,
                      "The phoneme text: one phone per line, name, duration in ms, position/pitch pairs.")
        .def("__repr__", [](const SpeechChunk& c) {
            return py::str("<vorsan.PhonemeChunk {} pitch={} time={}>").format(c.mbrolaDatabase, c.pitch, c.time);
        });

    py::class_<SpeechStream>(m, "Stream",
                             "Speech of a text sentence by sentence, each an Audio, as soon as it is ready. "
                             "Holds the engine until read to the end or closed (also as a context manager).")
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__",
             [](SpeechStream& s) {
                 std::unique_ptr<Audio> a;
                 {
                     py::gil_scoped_release nogil;
                     a = s.next();
                 }
                 if (!a) throw py::stop_iteration();
                 return a;
             })
        .def(
            "close",
            [](SpeechStream& s) {
                py::gil_scoped_release nogil;
                s.close();
            },
            "Stops the speech and frees the engine; the iteration ends.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__",
             [](SpeechStream& s, py::args) {
                 py::gil_scoped_release nogil;
                 s.close();
             })
        .def_property_readonly("stopped", &SpeechStream::stopped, "True when a stop or close ended the text early.");

    py::class_<EngineHandle, std::shared_ptr<EngineHandle>>(
        m, "Engine",
        "The speech engine: languages, emotion (mood) and accent databases, text to speech.\n\n"
        "Every method may raise vorsan.EngineError with the engine's message. Speech runs without the "
        "interpreter lock, so other threads go on and stop() can end it. One engine does one thing at a time; "
        "use one engine per thread to speak in parallel.")
        .def(py::init([](const py::object& config) {
                 if (!config.is_none() && !(py::isinstance<py::str>(config) && config.cast<std::string>() == "user"))
                     throw py::value_error("config must be \"user\" (the user's tolvane.xml) or None (no configuration)");
                 const bool load = !config.is_none();
                 py::gil_scoped_release nogil;
                 return std::make_shared<EngineHandle>(load);
             }),
             "config"_a = "user",
             "config=\"user\" loads the user's tolvane.xml from the profile folder ($USERPROFILE, else $HOME) "
             "when it exists; config=None starts with only the built-in English.")
        .def_property_readonly(
            "languages", [](EngineHandle& h) { return withEngine(h, [](SpeechEngine& e) { return utf8List(e.allSupportedLanguages()); }); },
            "Names of the loaded languages.")
        .def_property(
            "primary_language",
            [](EngineHandle& h) -> std::optional<std::string> {
                std::string p = withEngine(h, [](SpeechEngine& e) { return e.primaryLanguage(); });
                if (p.empty()) return std::nullopt;
                return p;
            },
            [](EngineHandle& h, std::optional<std::string> l) {
                withEngine(h, [&](SpeechEngine& e) { e.setPrimaryLanguage(l.value_or("")); });
            },
            "The language the whole text is read as, or None to choose by script.")
        .def_property_readonly(
            "emotion_databases", [](EngineHandle& h) { return withEngine(h, [](SpeechEngine& e) { return utf8List(e.allEmotionDatabases()); }); },
            "Names of the loaded emotion databases.")
        .def_property_readonly(
            "accent_databases", [](EngineHandle& h) { return withEngine(h, [](SpeechEngine& e) { return utf8List(e.allAccentDatabases()); }); },
            "Names of the loaded accent databases.")
        .def_property_readonly(
            "configuration_path", [](EngineHandle& h) { return h.engine().configurationPath(); },
            "The user's tolvane.xml.")
        .def(
            "voices",
            [](EngineHandle& h) {
                py::list out;
                for (const VoiceInfo& v : withEngine(h, [](SpeechEngine& e) { return voicesOf(e); }))
                    out.append(voiceDict(v));
                return out;
            },
            "Each language with its voice: dicts with language, database, dialect, pitch, time, voice_frequency, "
            "emotion_database, accent_database, moods (of its emotion database), mood (the active one), and what its rule "
            "file says of it: code (ISO 639, as \"hi\"), country, windows_id (Windows language identifier), script "
            "(first and last code point it reads; None for the built-in English, which reads A-Z and a-z) and sample "
            "(a sentence to try it with); code, country and windows_id are None when the file gives none.")
        .def(
            "add_language", [](EngineHandle& h, const std::filesystem::path& p) { return withEngine(h, [&](SpeechEngine& e) { return e.addLanguageDatabase(p.string()); }); },
            "path"_a, "Loads a language rule file; returns the language's name.")
        .def(
            "add_emotion", [](EngineHandle& h, const std::filesystem::path& p) { return withEngine(h, [&](SpeechEngine& e) { return e.addEmotionDatabase(p.string()); }); },
            "path"_a, "Loads an emotion file; returns the database's name.")
        .def(
            "add_accent", [](EngineHandle& h, const std::filesystem::path& p) { return withEngine(h, [&](SpeechEngine& e) { return e.addAccentDatabase(p.string()); }); },
            "path"_a, "Loads an accent file; returns the database's name.")
        .def(
            "set_voice",
            [](EngineHandle& h, const std::string& l, std::optional<double> pitch, std::optional<double> time,
               std::optional<int64_t> frequency, std::optional<std::string> emotion, std::optional<std::string> accent,
               std::optional<std::u16string> mood) {
                // Refused here, before anything changes: the engine takes any
                // value and every later synthesis would fail on it.
                const auto ratio = [](const char* name, const std::optional<double>& v) {
                    if (v && !(*v >= 0.001 && *v <= 100))
                        throw py::value_error(std::string(name) + " " + shownNumber(*v) + " is outside 0.001 to 100");
                };
                ratio("pitch", pitch);
                ratio("time", time);
                if (frequency && (*frequency < 4000 || *frequency > 192000))
                    throw py::value_error("voice_frequency " + std::to_string(*frequency) + " is outside 4000 to 192000 Hz");
                withEngine(h, [&](SpeechEngine& e) {
                    if (!e.languageSupported(l)) e.setPitch(l, 1.0f); // raises the engine's "not loaded"
                    if (pitch) e.setPitch(l, static_cast<float>(*pitch));
                    if (time) e.setTime(l, static_cast<float>(*time));
                    if (frequency) e.setVoiceFrequency(l, static_cast<int32_t>(*frequency));
                    if (emotion) e.setEmotionDatabase(l, *emotion);
                    if (accent) e.setAccentDatabase(l, *accent);
                    if (mood) e.setActiveMood(l, *mood);
                });
            },
            "language"_a, py::kw_only(), "pitch"_a = py::none(), "time"_a = py::none(), "voice_frequency"_a = py::none(),
            "emotion_database"_a = py::none(), "accent_database"_a = py::none(), "mood"_a = py::none(),
            "Changes a language's voice settings; settings left None stay as they are.")
        .def(
            "synthesize",
            [](EngineHandle& h, std::u16string text, const py::object& mood, bool accent) {
                Request r = requestOf(std::move(text), mood, accent);
                SignalCheck signals;
                std::unique_ptr<Audio> audio;
                CallUnderWay call;
                {
                    py::gil_scoped_release nogil;
                    audio = synthesize(h, r, std::ref(signals));
                }
                signals.raise();
                return audio;
            },
            "text"_a, "mood"_a = py::none(), "accent"_a = false,
            (std::string("Speaks the text into an Audio. Each script's run is spoken by its language. ") + kMoodDoc +
             " accent: map each language's phonemes to its accent database's voice. A stop() returns the speech "
             "made so far (Audio.stopped is True); on the main thread, Ctrl+C ends it with KeyboardInterrupt.")
                .c_str())
        .def(
            "synthesize_stream",
            [](std::shared_ptr<EngineHandle> h, std::u16string text, const py::object& mood, bool accent) {
                return std::make_unique<SpeechStream>(std::move(h), requestOf(std::move(text), mood, accent),
                                                      std::this_thread::get_id());
            },
            "text"_a, "mood"_a = py::none(), "accent"_a = false,
            "Speaks the text sentence by sentence: a Stream of Audio, one per sentence, each as soon as it is "
            "ready; memory stays bounded however long the text. Same options as synthesize().")
        .def(
            "synthesize_to_file",
            [](EngineHandle& h, std::u16string text, const std::filesystem::path& path, const py::object& mood,
               bool accent) {
                const std::string p = path.string();
                const auto type = static_cast<int16_t>(fileTypeOf(p));
                Request r = requestOf(std::move(text), mood, accent);
                CallUnderWay call;
                py::gil_scoped_release nogil;
                return synthesizeToFile(h, r, type, p);
            },
            "text"_a, "path"_a, "mood"_a = py::none(), "accent"_a = false,
            "Writes the whole text into one sound file as it is spoken, sentence by sentence (type by suffix, as "
            "Audio.save). Returns False when stopped; the file then is not written.")
        .def(
            "speak",
            [](EngineHandle& h, std::u16string text, const py::object& mood, bool accent) {
                Request r = requestOf(std::move(text), mood, accent);
                CallUnderWay call;
                py::gil_scoped_release nogil;
                return speak(h, r);
            },
            "text"_a, "mood"_a = py::none(), "accent"_a = false,
            "Speaks the text on the sound device and returns when it has been heard; False when stopped.")
        .def(
            "phonemes",
            [](EngineHandle& h, std::u16string text, const py::object& mood, bool accent, bool transcription) {
                Request r = requestOf(std::move(text), mood, accent);
                py::gil_scoped_release nogil;
                auto lock = h.lock();
                MoodGuard guard(h.engine(), r.mood);
                return h.engine().convertTextToPhoneme(r.text, guard.withEmotion(), r.accent, transcription);
            },
            "text"_a, "mood"_a = py::none(), "accent"_a = false, "transcription"_a = false,
            "The text's phoneme text: a list of PhonemeChunk, one per language run. transcription: the phones "
            "only, without prosody.")
        .def(
            "apply_mood",
            [](EngineHandle& h, const std::string& phonemes, const std::u16string& mood, const std::string& db) {
                return withEngine(h, [&](SpeechEngine& e) { return e.applyMood(phonemes, mood, db); });
            },
            "phonemes"_a, "mood"_a, "database"_a, "Re-shapes phoneme text by a mood of an emotion database.")
        .def(
            "map_accent",
            [](EngineHandle& h, const std::string& phonemes, const std::string& db) {
                return withEngine(h, [&](SpeechEngine& e) { return e.changeAccent(phonemes, db); });
            },
            "phonemes"_a, "database"_a,
            "Maps phoneme text onto another voice database by an accent database; returns a PhonemeChunk.")
        .def(
            "_render_discarding",
            [](EngineHandle& h, std::u16string text, bool keep) {
                // The engine's own work for a text with none of the package's:
                // for measuring what the package adds. keep: the engine does
                // the whole of what synthesize() asks of it (the samples
                // gathered in memory, the words' starts reported).
                struct Drop final : synth::AudioSink {
                    bool keep = false;
                    std::vector<int16_t> kept;
                    void beginRun(int32_t) override {}
                    void write(std::span<const int16_t> s) override {
                        if (keep) kept.insert(kept.end(), s.begin(), s.end());
                    }
                } sink;
                sink.keep = keep;
                std::vector<SpeechEngine::WordStart> words;
                const SpeechEngine::WordStartObserver observer = [&words](const auto& starts) {
                    words.insert(words.end(), starts.begin(), starts.end());
                };
                py::gil_scoped_release nogil;
                auto lock = h.lock();
                return h.engine().renderText(text, false, false, sink, keep ? observer : nullptr);
            },
            "text"_a, "keep"_a = false, "Renders the text and drops the audio (for measurements).")
        .def("stop", &EngineHandle::stop,
             "Ends the engine's speech under way (from any thread): synthesize() returns what was made, a "
             "stream ends, synthesize_to_file() and speak() return False.");
}
