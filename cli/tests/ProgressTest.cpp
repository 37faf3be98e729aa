// The progress bar's hold on the engine: a run without a bar (quiet, or no
// terminal) leaves the engine's chunk observer as it was, and still writes
// the speech.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "AudioAnalysis.h"
#include "Progress.h"
#include "vorsan/core/Text.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

TEST(Progress, WithoutABarTheEngineKeepsItsOwnObserver) {
    TempProfile profile;
    SpeechEngine engine;
    std::vector<std::pair<std::size_t, std::size_t>> seen;
    engine.setChunkObserver([&](std::size_t i, std::size_t n) { seen.emplace_back(i, n); });

    // Long enough for a bar, which quiet turns off.
    std::u16string text;
    while (text.size() < 2400) text += u"Hello world, this is a long text. ";
    cli::Progress quiet(false, text.size(), engine);
    EXPECT_FALSE(quiet.enabled());
    const std::string out = profile.folder() + "/quiet.wav";
    const StringList files = cli::writeWithProgress(engine, text, false, false, kSoundWAVE, out, quiet);
    ASSERT_EQ(files, StringList{utf8ToUtf16(out)});
    EXPECT_GT(readAudio(out).seconds(), 30.0); // some 400 words of speech
    ASSERT_FALSE(seen.empty());               // the observer the engine had saw the run
    EXPECT_EQ(seen.back().second, 1u);

    // A short text gets no bar even when one is asked for.
    cli::Progress shortText(true, 10, engine);
    EXPECT_FALSE(shortText.enabled());
    seen.clear();
    cli::writeWithProgress(engine, u"Hello.", false, false, kSoundWAVE, out, shortText);
    EXPECT_FALSE(seen.empty());
}
