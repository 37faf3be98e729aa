// Whole-system checks: text through the engine to audio a listener would
// judge, and speech stopped from another thread or refused without a device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "AudioAnalysis.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

TEST(EndToEnd, EnglishTextBecomesAudioOfTheRightLengthAndPitch) {
    TempProfile profile;
    SpeechEngine engine;
    const std::u16string text = u"Good morning. The weather is fine today, and the market opens at nine.";
    const double expected = phonemeSeconds(engine.convertTextToPhoneme(text, false, false, false).at(0).phoneString);
    auto speak = [&] {
        StringList files = engine.convertTextToSoundFile(text, false, false, kSoundWAVE);
        EXPECT_EQ(files.size(), 1u);
        return readAudio(utf16ToUtf8(files.at(0)));
    };
    const Audio normal = speak();
    EXPECT_EQ(normal.rate, 16000);
    EXPECT_NEAR(normal.seconds(), expected, 0.05);
    const std::optional<double> normalPitch = medianPitch(normal, 0.0, normal.seconds());
    ASSERT_TRUE(normalPitch.has_value());
    EXPECT_NEAR(*normalPitch, 120.0, 20.0); // the English contours move around 110-150 Hz
    // The pauses of the text are silent and its words are not.
    EXPECT_LT(rms(normal, 0.0, 0.07), 0.01);
    EXPECT_GT(rms(normal, 0.2, 0.6), 0.02);

    // Half the time ratio halves the speech; 1.5 times the pitch ratio raises
    // the voice by a fifth; a higher voice frequency keeps both.
    engine.setTime(SpeechEngine::kEnglishName, 0.5f);
    engine.setPitch(SpeechEngine::kEnglishName, 1.5f);
    engine.setVoiceFrequency(SpeechEngine::kEnglishName, 22050);
    const Audio changed = speak();
    EXPECT_EQ(changed.rate, 22050);
    EXPECT_NEAR(changed.seconds(), expected * 0.5, 0.05);
    const std::optional<double> changedPitch = medianPitch(changed, 0.0, changed.seconds());
    ASSERT_TRUE(changedPitch.has_value());
    EXPECT_NEAR(*changedPitch / *normalPitch, 1.5, 0.15);
}

TEST(EndToEnd, SpeechStopsPromptlyFromAnotherThreadAndAMissingDeviceIsReported) {
    TempProfile profile;
    vorsan::platform::setEnvironment("VORSAN_ALSA_DEVICE", "null");
    SpeechEngine engine;
    std::u16string text;
    for (int i = 0; i < 40; ++i) text += u"This sentence is long enough to keep the speaker busy for a while. ";
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        engine.stopSpeaking();
    });
    const auto t0 = std::chrono::steady_clock::now();
    // A machine without even the null device can only report it.
    const std::string message = messageOf([&] { engine.speakText(text, false, false); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    stopper.join();
    EXPECT_TRUE(message == "no failure" || message.rfind("Speech output failed: ", 0) == 0) << message;
    EXPECT_LT(seconds, 5.0); // the text lasts minutes

    vorsan::platform::setEnvironment("VORSAN_ALSA_DEVICE", "no-such-device-here");
    SpeechEngine other;
    const std::string missing = messageOf([&] { other.speakText(u"Hello", false, false); });
    vorsan::platform::setEnvironment("VORSAN_ALSA_DEVICE", std::nullopt);
    EXPECT_EQ(missing.rfind("Speech output failed: ", 0), 0u) << missing;
}
