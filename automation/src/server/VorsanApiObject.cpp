// VorsanAPI's members: argument checks, the engine call, list results and
// the translation of engine failures into automation errors.
#include "VorsanApiObject.h"

#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <vector>
#include <new>
#include <stdexcept>

#include "ValueObjects.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan::server {

namespace {

// Makes `message` (UTF-8) the thread's error description and returns code.
HRESULT fail(std::string_view message, HRESULT code = DISP_E_EXCEPTION) {
    return reportError(code, utf8ToUtf16(message), kProgIdVorsanAPI, IID_IVorsanAPI);
}

// Runs an engine operation; no exception leaves a member.
template <class F>
HRESULT guarded(F&& f) {
    try {
        return f();
    } catch (const MException& e) {
        return fail(e.message());
    } catch (const std::bad_alloc&) {
        return fail("Out of memory", E_OUTOFMEMORY);
    } catch (const std::exception& e) {
        return fail(e.what(), E_FAIL);
    } catch (...) {
        return fail("Unexpected failure", E_FAIL);
    }
}

bool missing(BSTR s) { return SysStringLen(s) == 0; }

// Names, paths and phoneme text go to the engine as UTF-8 (the local code
// page), so names outside Latin-1 survive the round trip.
std::string narrow(BSTR s) { return bstrToUtf8(s); }

HRESULT outString(std::u16string_view value, BSTR* p) {
    *p = bstrFrom(value);
    return *p ? S_OK : E_OUTOFMEMORY;
}
HRESULT outString(std::string_view utf8, BSTR* p) { return outString(utf8ToUtf16(utf8), p); }

HRESULT outList(const StringList& names, IMStringList** p) {
    if (FAILED(makeMStringList(names, p))) return fail("Couldn't create MStringList", E_FAIL);
    return S_OK;
}

// A sampling frequency is positive; the automation type holds 16 bits.
bool validFrequency(int32_t hz) { return hz > 0 && hz <= std::numeric_limits<SHORT>::max(); }

HRESULT frequencyTooWide(int32_t hz) {
    return fail("Voice frequency " + std::to_string(hz) + " does not fit a 16-bit integer", DISP_E_OVERFLOW);
}

// The five properties of a Phoneme, as the speaker needs them.
HRESULT readChunk(IPhoneme* phone, SpeechChunk& chunk) {
    Bstr phoneString, database;
    SHORT frequency = 0;
    if (HRESULT h = phone->get_PhoneString(phoneString.put()); FAILED(h)) return h;
    if (HRESULT h = phone->get_MbrolaDatabase(database.put()); FAILED(h)) return h;
    if (HRESULT h = phone->get_Pitch(&chunk.pitch); FAILED(h)) return h;
    if (HRESULT h = phone->get_Time(&chunk.time); FAILED(h)) return h;
    if (HRESULT h = phone->get_VoiceFrequency(&frequency); FAILED(h)) return h;
    if (frequency <= 0) return E_INVALIDARG;
    chunk.phoneString = phoneString.utf8();
    chunk.mbrolaDatabase = database.utf8();
    chunk.voiceFrequency = frequency;
    return S_OK;
}

} // namespace

VorsanApiObject::VorsanApiObject() : engine_(std::make_unique<SpeechEngine>()) {}
VorsanApiObject::~VorsanApiObject() = default;

HRESULT VorsanApiObject::InterfaceSupportsErrorInfo(REFIID riid) { return riid == IID_IVorsanAPI ? S_OK : S_FALSE; }

HRESULT createVorsanAPI(REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    return guarded([&] { return createObject<VorsanApiObject>(iid, ppv); });
}

HRESULT VorsanApiObject::makePhoneme(const SpeechChunk& chunk, IPhoneme** out) {
    if (!validFrequency(chunk.voiceFrequency)) return frequencyTooWide(chunk.voiceFrequency);
    ComPtr<IPhoneme> p;
    if (HRESULT h = createPhoneme(IID_IPhoneme, p.putVoid()); FAILED(h)) return h;
    p->put_PhoneString(Bstr(utf8ToUtf16(chunk.phoneString)).get());
    p->put_MbrolaDatabase(Bstr(utf8ToUtf16(chunk.mbrolaDatabase)).get());
    p->put_Pitch(chunk.pitch);
    p->put_Time(chunk.time);
    p->put_VoiceFrequency(static_cast<SHORT>(chunk.voiceFrequency));
    *out = p.detach();
    return S_OK;
}

// --- configuration ------------------------------------------------------------

HRESULT VorsanApiObject::LoadConfiguration() {
    return guarded([&] { return engine_->loadConfiguration() ? S_OK : fail("Error during LoadConfiguration"); });
}

HRESULT VorsanApiObject::UnloadConfiguration() {
    return guarded([&] { return engine_->unloadConfiguration() ? S_OK : fail("Error during UnloadConfiguration"); });
}

// --- yes/no queries: a null or empty name is simply not supported or set -------

#define VORSAN_BOOL_QUERY(member, call)                                  \
    HRESULT VorsanApiObject::member(BSTR name, LONG* pVal) {             \
        if (!pVal) return E_POINTER;                                     \
        *pVal = 0;                                                       \
        if (missing(name)) return S_OK;                                  \
        return guarded([&] {                                             \
            *pVal = engine_->call(narrow(name)) ? 1 : 0;                 \
            return S_OK;                                                 \
        });                                                              \
    }
VORSAN_BOOL_QUERY(get_LanguageSupported, languageSupported)
VORSAN_BOOL_QUERY(get_EmotionDatabaseSupported, emotionDatabaseSupported)
VORSAN_BOOL_QUERY(get_AccentDatabaseSupported, accentDatabaseSupported)
VORSAN_BOOL_QUERY(get_EmotionSet, emotionSet)
VORSAN_BOOL_QUERY(get_AccentSet, accentSet)
#undef VORSAN_BOOL_QUERY

HRESULT VorsanApiObject::get_MoodExistsInDatabase(BSTR mood, BSTR db, LONG* pVal) {
    if (missing(mood) || missing(db)) return E_INVALIDARG;
    if (!pVal) return E_POINTER;
    return guarded([&] {
        *pVal = engine_->moodExistsInDatabase(std::u16string(bstrView(mood)), narrow(db)) ? 1 : 0;
        return S_OK;
    });
}

// --- primary language and lists -------------------------------------------------

HRESULT VorsanApiObject::get_PrimaryLanguage(BSTR* pVal) {
    if (!pVal) return E_POINTER;
    return guarded([&] { return outString(engine_->primaryLanguage(), pVal); });
}

HRESULT VorsanApiObject::put_PrimaryLanguage(BSTR v) {
    if (!v) return E_INVALIDARG;  // empty clears the primary language
    return guarded([&] {
        engine_->setPrimaryLanguage(narrow(v));
        return S_OK;
    });
}

HRESULT VorsanApiObject::get_AllSupportedLanguages(IMStringList** pVal) {
    if (!pVal) return E_POINTER;
    return guarded([&] { return outList(engine_->allSupportedLanguages(), pVal); });
}

HRESULT VorsanApiObject::get_AllEmotionDatabases(IMStringList** pVal) {
    if (!pVal) return E_POINTER;
    return guarded([&] { return outList(engine_->allEmotionDatabases(), pVal); });
}

HRESULT VorsanApiObject::get_AllAccentDatabases(IMStringList** pVal) {
    if (!pVal) return E_POINTER;
    return guarded([&] { return outList(engine_->allAccentDatabases(), pVal); });
}

HRESULT VorsanApiObject::get_SuitableEmotionDatabase(BSTR name, IMStringList** pVal) {
    if (missing(name)) return E_INVALIDARG;
    if (!pVal) return E_POINTER;
    return guarded([&] { return outList(engine_->suitableEmotionDatabase(narrow(name)), pVal); });
}

HRESULT VorsanApiObject::get_SuitableAccentDatabase(BSTR name, IMStringList** pVal) {
    if (missing(name)) return E_INVALIDARG;
    if (!pVal) return E_POINTER;
    return guarded([&] { return outList(engine_->suitableAccentDatabase(narrow(name)), pVal); });
}

HRESULT VorsanApiObject::get_AllMoodsInDatabase(BSTR name, IMStringList** pVal) {
    if (!name) return E_INVALIDARG;  // empty goes on and is reported by the engine
    if (!pVal) return E_POINTER;
    return guarded([&] { return outList(engine_->allMoodsInDatabase(narrow(name)), pVal); });
}

// --- per-language settings -------------------------------------------------------

#define VORSAN_STRING_GET(member, call)                                                     \
    HRESULT VorsanApiObject::member(BSTR name, BSTR* pVal) {                                \
        if (missing(name)) return E_INVALIDARG;                                             \
        if (!pVal) return E_POINTER;                                                        \
        return guarded([&] { return outString(engine_->call(narrow(name)), pVal); });      \
    }
VORSAN_STRING_GET(get_Dialect, dialect)
VORSAN_STRING_GET(get_MbrolaDatabase, mbrolaDatabase)
VORSAN_STRING_GET(get_EmotionDatabase, emotionDatabase)
VORSAN_STRING_GET(get_AccentDatabase, accentDatabase)
VORSAN_STRING_GET(get_ActiveMood, activeMood)
#undef VORSAN_STRING_GET

HRESULT VorsanApiObject::put_EmotionDatabase(BSTR name, BSTR db) {
    if (missing(name) || missing(db)) return E_INVALIDARG;
    return guarded([&] {
        engine_->setEmotionDatabase(narrow(name), narrow(db));
        return S_OK;
    });
}

HRESULT VorsanApiObject::put_AccentDatabase(BSTR name, BSTR db) {
    if (missing(name) || missing(db)) return E_INVALIDARG;
    return guarded([&] {
        engine_->setAccentDatabase(narrow(name), narrow(db));
        return S_OK;
    });
}

HRESULT VorsanApiObject::put_ActiveMood(BSTR name, BSTR mood) {
    if (missing(name) || missing(mood)) return E_INVALIDARG;
    return guarded([&] {
        engine_->setActiveMood(narrow(name), std::u16string(bstrView(mood)));
        return S_OK;
    });
}

HRESULT VorsanApiObject::get_Pitch(BSTR name, float* pVal) {
    if (missing(name)) return E_INVALIDARG;
    if (!pVal) return E_POINTER;
    return guarded([&] { return *pVal = engine_->pitch(narrow(name)), S_OK; });
}

HRESULT VorsanApiObject::put_Pitch(BSTR name, float v) {
    if (missing(name)) return E_INVALIDARG;
    return guarded([&] { return engine_->setPitch(narrow(name), v), S_OK; });
}

HRESULT VorsanApiObject::get_Time(BSTR name, float* pVal) {
    if (missing(name)) return E_INVALIDARG;
    if (!pVal) return E_POINTER;
    return guarded([&] { return *pVal = engine_->time(narrow(name)), S_OK; });
}

HRESULT VorsanApiObject::put_Time(BSTR name, float v) {
    if (missing(name)) return E_INVALIDARG;
    return guarded([&] { return engine_->setTime(narrow(name), v), S_OK; });
}

// A stored frequency that the 16-bit property cannot carry (one read from a
// configuration file) is reported, never wrapped.
HRESULT VorsanApiObject::get_VoiceFrequency(BSTR name, SHORT* pVal) {
    if (missing(name)) return E_INVALIDARG;
    if (!pVal) return E_POINTER;
    return guarded([&] {
        int32_t hz = engine_->voiceFrequency(narrow(name));
        if (hz < std::numeric_limits<SHORT>::min() || hz > std::numeric_limits<SHORT>::max())
            return frequencyTooWide(hz);
        *pVal = static_cast<SHORT>(hz);
        return S_OK;
    });
}

HRESULT VorsanApiObject::put_VoiceFrequency(BSTR name, SHORT v) {
    if (missing(name) || v <= 0) return E_INVALIDARG;
    return guarded([&] { return engine_->setVoiceFrequency(narrow(name), v), S_OK; });
}

// --- databases ------------------------------------------------------------------

#define VORSAN_ADD(member, call)                                                          \
    HRESULT VorsanApiObject::member(BSTR path, BSTR* name) {                              \
        if (missing(path)) return E_INVALIDARG;                                           \
        if (!name) return E_POINTER;                                                      \
        return guarded([&] { return outString(engine_->call(narrow(path)), name); });    \
    }
VORSAN_ADD(AddLanguageDatabase, addLanguageDatabase)
VORSAN_ADD(AddEmotionDatabase, addEmotionDatabase)
VORSAN_ADD(AddAccentDatabase, addAccentDatabase)
#undef VORSAN_ADD

#define VORSAN_REMOVE(member, call)                                           \
    HRESULT VorsanApiObject::member(BSTR name) {                              \
        if (missing(name)) return E_INVALIDARG;                               \
        return guarded([&] { return engine_->call(narrow(name)), S_OK; });    \
    }
VORSAN_REMOVE(RemoveLanguageDatabase, removeLanguageDatabase)
VORSAN_REMOVE(RemoveEmotionDatabase, removeEmotionDatabase)
VORSAN_REMOVE(RemoveAccentDatabase, removeAccentDatabase)
#undef VORSAN_REMOVE

// --- speech -----------------------------------------------------------------------

HRESULT VorsanApiObject::ConvertTextToSoundFile(BSTR text, LONG withEmotion, LONG withAccent, SHORT fileType,
                                                IMStringList** waveFiles) {
    if (!text) return E_INVALIDARG;
    if (!waveFiles) return E_POINTER;
    if (SysStringLen(text) == 0) return guarded([&] { return outList({}, waveFiles); });
    // A conversion ended by StopSpeaking lists only the files it completed
    // and says so with S_FALSE.
    return guarded([&] {
        const HRESULT h =
            outList(engine_->convertTextToSoundFile(bstrView(text), withEmotion != 0, withAccent != 0, fileType),
                    waveFiles);
        return h == S_OK && engine_->stopped() ? S_FALSE : h;
    });
}

HRESULT VorsanApiObject::ConvertTextToPhoneme(BSTR text, LONG withEmotion, LONG withAccent, LONG onlyTranscription,
                                              IPhonemeList** phonemes) {
    if (!text) return E_INVALIDARG;
    if (!phonemes) return E_POINTER;
    *phonemes = nullptr;
    if (SysStringLen(text) == 0) return S_OK;
    return guarded([&] {
        ComPtr<IPhonemeList> list;
        if (FAILED(createPhonemeList(IID_IPhonemeList, list.putVoid())))
            return fail("Couldn't create PhonemeList", E_FAIL);
        ChunkList chunks =
            engine_->convertTextToPhoneme(bstrView(text), withEmotion != 0, withAccent != 0, onlyTranscription != 0);
        for (const SpeechChunk& chunk : chunks) {
            ComPtr<IPhoneme> p;
            HRESULT h = makePhoneme(chunk, p.put());
            if (h == DISP_E_OVERFLOW) return h;
            if (FAILED(h)) continue;  // a Phoneme that cannot be made is left out
            if (FAILED(list->Add(p.get()))) continue;
        }
        *phonemes = list.detach();
        return S_OK;
    });
}

HRESULT VorsanApiObject::SpeakText(BSTR text, LONG withEmotion, LONG withAccent) {
    if (!text) return E_INVALIDARG;
    if (SysStringLen(text) == 0) return S_OK;
    return guarded([&] { return engine_->speakText(bstrView(text), withEmotion != 0, withAccent != 0), S_OK; });
}

HRESULT VorsanApiObject::SpeakPhoneme(BSTR phoneString, BSTR database, float timeRatio, float pitchRatio,
                                      SHORT frequency) {
    if (missing(phoneString) || missing(database) || frequency <= 0) return E_INVALIDARG;
    return guarded([&] {
        SpeechChunk chunk{narrow(phoneString), narrow(database), pitchRatio, timeRatio, frequency, {}};
        engine_->speakChunk(chunk);
        return S_OK;
    });
}

// Every element is read (and checked) before the first one is spoken.
HRESULT VorsanApiObject::SpeakPhonemeList(IPhonemeList* phonemes) {
    if (!phonemes) return E_INVALIDARG;
    return guarded([&] {
        LONG count = 0;
        if (HRESULT h = phonemes->get_Count(&count); FAILED(h)) return h;
        ChunkList chunks;
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IPhoneme> p;
            if (HRESULT h = phonemes->Item(i, p.put()); FAILED(h)) return h;
            if (!p) return E_INVALIDARG;
            SpeechChunk& chunk = chunks.emplace_back();
            if (HRESULT h = readChunk(p.get(), chunk); FAILED(h)) return h;
        }
        for (const auto& chunk : chunks) engine_->speakChunk(chunk);
        return S_OK;
    });
}

HRESULT VorsanApiObject::SpeakPhonemeSet(IPhoneme* phone) {
    if (!phone) return E_INVALIDARG;
    return guarded([&] {
        SpeechChunk chunk;
        if (HRESULT h = readChunk(phone, chunk); FAILED(h)) return h;
        engine_->speakChunk(chunk);
        return S_OK;
    });
}

HRESULT VorsanApiObject::StopSpeaking() {
    return guarded([&] { return engine_->stopSpeaking(), S_OK; });
}

HRESULT VorsanApiObject::get_AU(SHORT* pVal) { return pVal ? (*pVal = kFileTypeAU, S_OK) : E_POINTER; }
HRESULT VorsanApiObject::get_AIFF(SHORT* pVal) { return pVal ? (*pVal = kFileTypeAIFF, S_OK) : E_POINTER; }
HRESULT VorsanApiObject::get_WAVE(SHORT* pVal) { return pVal ? (*pVal = kFileTypeWAVE, S_OK) : E_POINTER; }

HRESULT VorsanApiObject::ApplyMood(BSTR phoneString, BSTR mood, BSTR db, BSTR* result) {
    if (missing(phoneString) || missing(mood) || missing(db)) return E_INVALIDARG;
    if (!result) return E_POINTER;
    return guarded([&] {
        return outString(engine_->applyMood(narrow(phoneString), std::u16string(bstrView(mood)), narrow(db)), result);
    });
}

HRESULT VorsanApiObject::ChangeAccent(BSTR phoneString, BSTR db, IPhoneme** phone) {
    if (missing(phoneString) || missing(db)) return E_INVALIDARG;
    if (!phone) return E_POINTER;
    *phone = nullptr;
    return guarded([&] { return makePhoneme(engine_->changeAccent(narrow(phoneString), narrow(db)), phone); });
}

// --- speech as it is made -------------------------------------------------

namespace {

// The engine's runs of speech handed to a caller's IVorsanSpeechSink (at
// the rate the caller asked the engine for).
class StreamAdapter final : public synth::AudioSink {
public:
    explicit StreamAdapter(IVorsanSpeechSink* out) : out_(out) {}

    void beginRun(int32_t rate) override { check(out_->BeginRun(rate)); }
    void write(std::span<const int16_t> samples) override { send(samples); }
    void endRun() override { check(out_->EndRun()); }
    void words(const std::vector<SpeechEngine::WordStart>& starts) {
        std::vector<VorsanWordStart> out;
        for (const auto& w : starts)
            out.push_back({static_cast<LONG>(w.offset), static_cast<LONG>(w.length), w.sample});
        check(out_->WordStarts(out.data(), static_cast<LONG>(out.size())));
    }
    // The sink's own failure, when it ended the rendering.
    HRESULT failure() const { return failure_; }

private:
    void send(std::span<const int16_t> samples) {
        if (!samples.empty()) check(out_->Samples(samples.data(), static_cast<LONG>(samples.size())));
    }
    void check(HRESULT h) {
        if (FAILED(h)) {
            failure_ = h;
            throw MException("the speech sink failed");
        }
    }

    IVorsanSpeechSink* out_;
    HRESULT failure_ = S_OK;
};

} // namespace

HRESULT VorsanApiObject::RenderText(BSTR text, LONG withEmotion, LONG withAccent, LONG outputRate,
                                    IVorsanSpeechSink* sink) {
    if (!sink || (outputRate != 0 && (outputRate < 4000 || outputRate > 192000))) return E_INVALIDARG;
    StreamAdapter adapter(sink);
    return guarded([&]() -> HRESULT {
        try {
            SpeechEngine::RenderOptions options;
            options.withEmotion = withEmotion != 0;
            options.withAccent = withAccent != 0;
            options.outputRate = outputRate;
            options.rate = rate_;
            options.pitch = pitch_;
            const bool completed = engine_->renderText(bstrView(text), options, adapter,
                                                       [&](const auto& starts) { adapter.words(starts); });
            return completed ? S_OK : S_FALSE;
        } catch (const MException&) {
            if (FAILED(adapter.failure())) return adapter.failure();
            throw;
        }
    });
}

HRESULT VorsanApiObject::Stop() {
    return guarded([&] { return engine_->stopSpeaking(), S_OK; });
}

HRESULT VorsanApiObject::LanguageOfWindowsId(LONG langId, BSTR* languageName) {
    if (!languageName) return E_POINTER;
    *languageName = nullptr;
    return guarded([&]() -> HRESULT {
        const std::string name = engine_->languageOfWindowsId(static_cast<uint16_t>(langId & 0xFFFF));
        *languageName = Bstr(utf8ToUtf16(name)).detach();
        return name.empty() ? S_FALSE : S_OK;
    });
}

HRESULT VorsanApiObject::SetProsody(float rate, float pitch) {
    if (!(rate > 0.0f) || !(pitch > 0.0f) || !std::isfinite(rate) || !std::isfinite(pitch)) return E_INVALIDARG;
    rate_ = rate;
    pitch_ = pitch;
    return S_OK;
}

HRESULT VorsanApiObject::ConfigurationPath(BSTR* path) {
    if (!path) return E_POINTER;
    *path = nullptr;
    return guarded([&] {
        *path = Bstr(utf8ToUtf16(engine_->configurationPath())).detach();
        return S_OK;
    });
}

HRESULT VorsanApiObject::PreferLanguage(BSTR languageName) {
    return guarded([&]() -> HRESULT {
        try {
            engine_->setPreferredLanguage(narrow(languageName));
        } catch (const MException&) {
            return E_INVALIDARG;
        }
        return S_OK;
    });
}

} // namespace vorsan::server
