#pragma once
// Small database files for the engine's tests: a Devanagari language spoken
// with the English voice's phones (so it can be synthesised without any
// Indian voice), an emotion file and an accent file for it.
#include <string>

namespace vorsan::testing {

inline std::string hindiRuleFile(const std::string& name = "Hindi", const std::string& db = "en1") {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<Rule_Base>
  <Language><LanguageName>)" + name + R"(</LanguageName><Dialect>Standard</Dialect><LanguageCode>hi</LanguageCode>
    <CountryCode>IN</CountryCode><MbrolaDatabase>)" + db + R"(</MbrolaDatabase>
    <UnicodeStart>0900</UnicodeStart><UnicodeEnd>097F</UnicodeEnd><HalantBased>true</HalantBased></Language>
  <CharacterData>
    <Consonent>
      <Character glyph="क" phonem="k" duration="80"/>
      <Character glyph="म" phonem="m" duration="70"/>
      <Character glyph="ल" phonem="l" duration="60"/>
      <Character glyph="न" phonem="n" duration="60"/>
      <Character glyph="स" phonem="s" duration="90"/>
      <Character glyph="त" phonem="t" duration="70"/>
    </Consonent>
    <Vowel><Character glyph="अ" phonem="@" duration="80"/><Character glyph="आ" phonem="A:" duration="140"/></Vowel>
    <Matra><Character glyph="ा" phonem="A:" duration="140"/><Character glyph="े" phonem="eI" duration="140"/></Matra>
    <Sign><Character glyph="ं" phonem="n" duration="50"/></Sign>
  </CharacterData>
  <DigitMap><map englishDigit="1" langaugeDigit="१"/><map englishDigit="2" langaugeDigit="२"/></DigitMap>
  <DigitData><Digit value="1" words="एक"/><Digit value="2" words="दो"/></DigitData>
  <ExactMatch></ExactMatch>
  <Available_Characters>
    <Character glyph="क" type="Consonent"><Priority no="1"><Rule match="AकA" rank=""><PhonemList><Phonem phoneString="k" Duration="80"/><Phonem phoneString="@" Duration="60"/></PhonemList></Rule></Priority></Character>
  </Available_Characters>
  <SentenceTypes>
    <Sentence name="Statement" pause="300"><Description>statement</Description><IdentifierList><Identifier rank="1">।</Identifier><Identifier rank="1">.</Identifier></IdentifierList><PitchPattern>140 138 136 134 132 130 128 126 124 122 120 118 116 114 112 110</PitchPattern><ClauseTypes><Clause name="Comma" pause="150"><Description>comma</Description><IdentifierList><Identifier rank="1">,</Identifier></IdentifierList><PitchPattern>130 132 134</PitchPattern></Clause></ClauseTypes></Sentence>
  </SentenceTypes>
</Rule_Base>
)";
}

inline std::string emotionFile(const std::string& language = "Hindi", const std::string& db = "en1",
                               const std::string& speechRate = "150") {
    std::string neutral = R"(<AverageBaseFrequency rate="100"/><Range rate="100"/><Vairability rate="100"/>
      <PhraseContour contour="Raising" rate="0"/><StressedAVRF rate="100"/>
      <PitchContourStressed contour="Raising" gradient="0" forPhraseAndWordAlso="false"/><Jitter rate="0"/>)";
    std::string durations = R"(<Stressed rate="100" forPhraseAndWordAlso="false"/><NonStressed rate="100" forPhraseAndWordAlso="false"/>
      <Vowels rate="100"/><Liquides rate="100"/><Nasals rate="100"/><FricativeVoiced rate="100"/>
      <FricativeVoiceless rate="100"/><PlosiveVoiced rate="100"/><PlosiveVoiceless rate="100"/><Silence rate="100"/>)";
    return R"(<?xml version="1.0"?>
<MoodBase>
  <File_Information><Title>test</Title></File_Information>
  <Language><LanguageName>)" + language + "</LanguageName><MbrolaDatabase>" + db + R"(</MbrolaDatabase></Language>
  <SoundData>
    <LongVowel><S phonem="A:"/><S phonem="eI"/></LongVowel><ShortVowel><S phonem="@"/></ShortVowel>
    <Nasal><S phonem="m"/><S phonem="n"/></Nasal><Liquide><S phonem="l"/></Liquide>
    <PlosiveVoiceless><S phonem="k"/><S phonem="t"/></PlosiveVoiceless><FricativeVoiceless><S phonem="s"/></FricativeVoiceless>
    <Silence><S phonem="_"/></Silence>
  </SoundData>
  <EmotionData>
    <Emotion name="Neutral">)" + neutral + R"(<SpeechRate rate="100"/>)" + durations + R"(</Emotion>
    <Emotion name="Sad">)" + neutral + R"(<SpeechRate rate=")" + speechRate + R"("/>)" + durations + R"(</Emotion>
  </EmotionData>
</MoodBase>
)";
}

inline std::string accentFile(const std::string& from = "en1", const std::string& to = "en1") {
    return R"(<?xml version="1.0"?>
<dbMapper>
  <File_Information><Title>test accent</Title></File_Information>
  <Mbrola_Information><fromMbroladb>)" + from + "</fromMbroladb><toMbroladb>" + to + R"(</toMbroladb>
    <Voice>22050</Voice><Pitch>1.25</Pitch><Time>0.8</Time></Mbrola_Information>
  <mapping><fromPhonem fromPhonemName="k"><toPhonem toPhonemName="g" toPhonemDuration="100"/></fromPhonem></mapping>
  <dbrules></dbrules>
  <fromMbrolaPhone>
    <Sound mbrolaType="C" mbrolaPhonem="k" mbrolaUsage=""/><Sound mbrolaType="C" mbrolaPhonem="m" mbrolaUsage=""/>
    <Sound mbrolaType="C" mbrolaPhonem="l" mbrolaUsage=""/><Sound mbrolaType="C" mbrolaPhonem="n" mbrolaUsage=""/>
    <Sound mbrolaType="C" mbrolaPhonem="s" mbrolaUsage=""/><Sound mbrolaType="C" mbrolaPhonem="t" mbrolaUsage=""/>
    <Sound mbrolaType="V" mbrolaPhonem="@" mbrolaUsage=""/><Sound mbrolaType="V" mbrolaPhonem="A:" mbrolaUsage=""/>
    <Sound mbrolaType="V" mbrolaPhonem="eI" mbrolaUsage=""/><Sound mbrolaType="C" mbrolaPhonem="_" mbrolaUsage=""/>
  </fromMbrolaPhone>
</dbMapper>
)";
}

} // namespace vorsan::testing
