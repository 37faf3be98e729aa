#pragma once
// The facts the manager needs from the database files it finds in the data
// folder: a language rule file ("Rule_Base"), an emotion file ("MoodBase")
// and an accent file ("dbMapper"). Each reader reports a refused file through
// the message sink and then keeps what it had before.
#include <string>
#include <vector>

#include "vorsan/manager/Messages.h"

namespace vorsan::manager {

class Language {
public:
    explicit Language(MessageSink sink = {}) : sink_(std::move(sink)) {}
    // Reads the language name, dialect and MBROLA database of the file's
    // "Language" element. False (with a message) when the file is missing,
    // does not parse, or is not a language rule file.
    bool ParsePelmiraFile(const std::string& path);
    const std::string& LanguageName() const { return name_; }
    const std::string& LanguageDialect() const { return dialect_; }
    const std::string& LanguageMbrolaDatabase() const { return mbrola_; }

private:
    MessageSink sink_;
    std::string name_, dialect_, mbrola_;
};

class MoodReader {
public:
    explicit MoodReader(MessageSink sink = {}) : sink_(std::move(sink)) {}
    // Reads the language, the MBROLA database and the mood names of the file.
    bool ParseRuvettaFile(const std::string& path);
    // The database's name as the engine files it: language, "_", MBROLA database.
    std::string MoodReaderName() const { return language_ + "_" + mbrola_; }
    const std::string& MoodReaderLanguage() const { return language_; }
    const std::string& MoodReaderMbrolaDatabase() const { return mbrola_; }
    const std::vector<std::string>& AllMoods() const { return moods_; }

private:
    MessageSink sink_;
    std::string language_, mbrola_;
    std::vector<std::string> moods_;
};

class DBTranslate {
public:
    explicit DBTranslate(MessageSink sink = {}) : sink_(std::move(sink)) {}
    // Reads the source and target MBROLA databases of the accent file.
    bool ParseOskalenFile(const std::string& path);
    // The database's name as the engine files it: source, "_TO_", target.
    std::string DBMapperName() const { return from_ + "_TO_" + to_; }
    const std::string& DBMapperFromMbrolaDB() const { return from_; }
    const std::string& DBMapperToMbrolaDB() const { return to_; }

private:
    MessageSink sink_;
    std::string from_, to_;
};

} // namespace vorsan::manager
