#pragma once
// The words of English normalisation: numbers, months, days, currencies,
// units and abbreviations, as the normaliser says them.
#include <array>
#include <string_view>

namespace vorsan::normtables {

inline constexpr std::array<std::string_view, 20> kUnits = {
    "zero", "one",    "two",    "three",    "four",     "five",    "six",     "seven",     "eight",    "nine",
    "ten",  "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
inline constexpr std::array<std::string_view, 10> kTens = {"",      "",      "twenty",  "thirty", "forty",
                                                           "fifty", "sixty", "seventy", "eighty", "ninety"};
inline constexpr std::array<std::string_view, 20> kUnitOrdinals = {
    "zeroth",  "first",    "second",     "third",      "fourth",     "fifth",     "sixth",
    "seventh", "eighth",   "ninth",      "tenth",      "eleventh",   "twelfth",   "thirteenth",
    "fourteenth", "fifteenth", "sixteenth", "seventeenth", "eighteenth", "nineteenth"};
inline constexpr std::array<std::string_view, 10> kTensOrdinals = {"",          "",          "twentieth", "thirtieth",
                                                                   "fortieth",  "fiftieth",  "sixtieth",  "seventieth",
                                                                   "eightieth", "ninetieth"};

// Days: the lower-case short and full forms, and the full name.
struct Name {
    std::string_view shortForm;
    std::string_view fullForm;
    std::string_view said;
};
inline constexpr std::array<Name, 7> kDays = {{{"mon", "monday", "Monday"},
                                               {"tue", "tuesday", "Tuesday"},
                                               {"wed", "wednesday", "Wednesday"},
                                               {"thu", "thursday", "Thursday"},
                                               {"fri", "friday", "Friday"},
                                               {"sat", "saturday", "Saturday"},
                                               {"sun", "sunday", "Sunday"}}};

// A currency by its code: the major unit (one, many) and the minor unit
// (one, many) of a hundredth.
struct Currency {
    std::string_view code;
    std::string_view one, many, minorOne, minorMany;
};
inline constexpr std::array<Currency, 5> kCurrencies = {{
    {"USD", "dollar", "dollars", "cent", "cents"},
    {"GBP", "pound", "pounds", "penny", "pence"},
    {"EUR", "euro", "euros", "cent", "cents"},
    {"INR", "rupee", "rupees", "paisa", "paise"},
    {"JPY", "yen", "yen", "sen", "sen"},
}};

// A unit after a number: as written (case matters), one, many. `alone` units
// are read also as a word of their own after a number; the others only when
// joined to it ("5m") or when the number stands right before them.
struct Unit {
    std::u16string_view sign;
    std::string_view one, many;
};
inline constexpr std::array<Unit, 49> kUnitsOfMeasure = {{
    {u"kg", "kilogram", "kilograms"},   {u"kgs", "kilograms", "kilograms"}, {u"g", "gram", "grams"},
    {u"gm", "gram", "grams"},           {u"mg", "milligram", "milligrams"}, {u"km", "kilometer", "kilometers"},
    {u"m", "meter", "meters"},          {u"cm", "centimeter", "centimeters"}, {u"mm", "millimeter", "millimeters"},
    {u"ml", "milliliter", "milliliters"}, {u"l", "liter", "liters"},        {u"L", "liter", "liters"},
    {u"ltr", "liter", "liters"},        {u"mph", "mile per hour", "miles per hour"},
    {u"km/h", "kilometer per hour", "kilometers per hour"}, {u"kmph", "kilometer per hour", "kilometers per hour"},
    {u"kph", "kilometer per hour", "kilometers per hour"},  {u"\u00B0C", "degree Celsius", "degrees Celsius"},
    {u"\u00B0F", "degree Fahrenheit", "degrees Fahrenheit"}, {u"\u00B0", "degree", "degrees"},
    {u"ft", "foot", "feet"},            {u"lb", "pound", "pounds"},         {u"lbs", "pounds", "pounds"},
    {u"oz", "ounce", "ounces"},         {u"mi", "mile", "miles"},           {u"yd", "yard", "yards"},
    {u"KB", "kilobyte", "kilobytes"},   {u"kB", "kilobyte", "kilobytes"},   {u"MB", "megabyte", "megabytes"},
    {u"GB", "gigabyte", "gigabytes"},   {u"TB", "terabyte", "terabytes"},   {u"Hz", "hertz", "hertz"},
    {u"kHz", "kilohertz", "kilohertz"}, {u"MHz", "megahertz", "megahertz"}, {u"GHz", "gigahertz", "gigahertz"},
    {u"W", "watt", "watts"},            {u"kW", "kilowatt", "kilowatts"},   {u"kWh", "kilowatt hour", "kilowatt hours"},
    {u"V", "volt", "volts"},            {u"h", "hour", "hours"},            {u"hr", "hour", "hours"},
    {u"hrs", "hours", "hours"},         {u"min", "minute", "minutes"},      {u"mins", "minutes", "minutes"},
    {u"sec", "second", "seconds"},      {u"ms", "millisecond", "milliseconds"},
    {u"kbps", "kilobit per second", "kilobits per second"}, {u"Mbps", "megabit per second", "megabits per second"},
    {u"Gbps", "gigabit per second", "gigabits per second"},
}};
inline constexpr std::array<std::u16string_view, 8> kSingleLetterUnits = {u"g", u"m", u"l", u"L", u"W", u"V", u"h",
                                                                          u"s"};

// Abbreviations written with a full stop. A title is always followed by more
// of its sentence, so its full stop never ends one.
struct Abbreviation {
    std::string_view written; // lower case, without the final full stop
    std::string_view said;
    bool title;
};
inline constexpr std::array<Abbreviation, 36> kAbbreviations = {{
    {"mr", "mister", true},          {"mrs", "missus", true},        {"ms", "miz", true},
    {"prof", "professor", true},     {"gen", "general", true},       {"capt", "captain", true},
    {"lt", "lieutenant", true},      {"sgt", "sergeant", true},      {"col", "colonel", true},
    {"rev", "reverend", true},       {"hon", "honorable", true},     {"mt", "mount", true},
    {"fig", "figure", true},         {"vol", "volume", true},        {"ch", "chapter", true},
    {"pp", "pages", true},           {"e.g", "for example", true},   {"i.e", "that is", true},
    {"vs", "versus", true},          {"approx", "approximately", true}, {"govt", "government", false},
    {"dept", "department", false},   {"jr", "junior", false},        {"sr", "senior", false},
    {"ave", "avenue", false},        {"rd", "road", false},          {"blvd", "boulevard", false},
    {"co", "company", false},        {"corp", "corporation", false}, {"inc", "incorporated", false},
    {"ltd", "limited", false},       {"etc", "et cetera", false},    {"est", "established", false},
    {"apt", "apartment", false},     {"hwy", "highway", false},      {"pvt", "private", false},
}};

// Words after which a Roman numeral is a number ("Chapter IV", "World War II").
inline constexpr std::array<std::string_view, 14> kNumberedThings = {
    "chapter", "part", "volume", "book", "act", "scene", "war", "section", "article", "phase", "type", "class",
    "level", "stage"};
// Names after which "I" is a regnal number ("Elizabeth I").
inline constexpr std::array<std::string_view, 16> kRegnalNames = {
    "Elizabeth", "George", "Henry",  "Edward", "James",    "Charles",   "William",  "Louis",
    "Richard",   "Mary",   "Peter",  "John",   "Napoleon", "Catherine", "Frederick", "Alexander"};
// Words before a four-digit number that make it a year.
inline constexpr std::array<std::string_view, 14> kYearWords = {
    "in", "since", "year", "by", "from", "until", "till", "before", "after", "during", "of", "circa", "born", "died"};
// Words before a number that make it a telephone number.
inline constexpr std::array<std::string_view, 8> kPhoneWords = {"call", "phone", "tel", "telephone",
                                                                "mobile", "fax", "dial", "ph"};
// Words before a number that make it a code, read digit by digit.
inline constexpr std::array<std::string_view, 12> kCodeWords = {
    "otp", "pin", "pincode", "code", "passcode", "password", "ref", "reference", "pnr", "cvv", "id", "zip"};
} // namespace vorsan::normtables
