#include "DialectWordTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

namespace DialectWordTable {

const std::vector<Pair> &pairs()
{
    static const std::vector<Pair> table{
    {"ja", "jo"},
    {"da", "doh"},
    {"nicht", "net"},
    {"hallo", "servus"},
    {"das", "des"},
    {"macht", "mocht"},
    {"gerne", "gern"},
    {"Fichte", "Fichtn"},
    {"quatsch", "schmarrn"},
    {"ich", "i"},
    {"müsste", "müssat"},
    {"toilette", "klo"},
    {"ein", "oan"},
    {"mein", "mei"},
    {"will", "wui"},
    {"halb", "hoibat"},
    {"kaputt", "kabutt"},
    {"schmecken", "schmecker"},
    {"schmeckt", "schmeckat"},
    {"neben", "neber"},
    {"zeig", "zoag"},
    {"mal", "amoi"},
    {"hier", "do"},
    {"gerade", "grod"},
    {"einem", "oam"},
    {"besser", "bessa"},
    {"als", "ois"},
    {"danke", "donkschee"},
    {"essen", "moih"},
    {"deutsch", "preiß"},
    {"deutsche", "preißn"},
    {"tschüß", "servus"},
    {"übersetzt", "übasetzt"},
    {"komisch", "seitsom"},
    {"inhalt", "inhoit"},
    {"bestimmt", "bstimmt"},
    {"her", "hea"},
    {"gefahren", "gfahrn"},
    {"grade", "grod"},
    {"grad", "grod"},
    {"liegen", "liegn"},
    {"hand", "hond"},
    {"zigarette", "zigarettn"},
    {"handy", "hendi"},
    {"widerstand", "widastond"},
    {"motorrad", "motorradl"},
    {"fahrrad", "radl"},
    {"rad", "radl"},
    {"zerstört", "kabutt"},
    {"ist", "is"},
    {"feuerzeug", "feiazeig"},
    {"funktioniert", "geht"},
    {"läuft", "lafft"},
    {"neu", "nei"},
    {"eins", "oans"},
    {"zwei", "zwoa"},
    {"vier", "via"},
    {"fünf", "finf"},
    {"sieben", "siebn"},
    {"acht", "ocht"},
    {"neun", "nein"},
    {"zehn", "zehne"},
    {"zwanzig", "zwonzig"},
    {"vierzig", "viazig"},
    {"fünfzig", "finfzig"},
    {"achtzig", "ochtzig"},
    {"neunzig", "neunzig"},
    {"hundert", "hundat"},
    {"tausend", "dausnd"},
    {"habe", "hob"},
    {"frauen", "weiber"},
    {"hast", "host"},
    {"mädchen", "madl"},
    {"hinter", "hinta"},
    {"arsch", "orsch"},
    {"hintern", "bopo"},
    {"zweck", "zweg"},
    {"fährt", "fahrt"},
    {"fahren", "fohrn"},
    {"ungefähr", "ungefeah"},
    {"etwa", "etwo"},
    {"packn", "pockn"},
    {"packen", "pocken"},
    {"übersetzen", "übasetzn"},
    {"erledigen", "tun"},
    {"bekomm", "krieg"},
    {"kriege", "kriag"},
    {"satz", "sotz"},
    {"geil", "goil"},
    {"volk", "voik"},
    {"seid", "seits"},
    {"ihr", "iah"},
    {"zur", "zuah"},
    {"sinds", "sans"},
    {"gute", "guade"},
    {"gut", "guad"},
    {"person", "pearson"},
    {"personen", "leits"},
    {"leute", "leite"},
    {"begrüsst", "begriasst"},
    {"begrüßen", "begriassn"},
    {"entscheidung", "endscheidung"},
    {"entscheiden", "endscheidn"},
    {"welche", "wöiche"},
    {"alles", "ois"},
    {"wasser", "wossa"},
    {"einmal", "oanmoi"},
    {"deine", "dei"},
    {"mädel", "dirndl"},
    };
    return table;
}

const std::vector<Pair> &twoWordPairs()
{
    static const std::vector<Pair> table{
        {"auf wiedersehen", "pfiad die"},
        {"auf das", "aufs"},
        {"auf die", "aufs"},
        {"auf des", "aufs"},
    };
    return table;
}

namespace {

// Keys are all ASCII or lower-case UTF-8 except "Fichte", which only needs
// its capital folded.
std::string lowerKey(std::string_view key)
{
    std::string s(key);
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return s;
}

// Lets the maps be searched with a string_view, without making a string of
// every word of the text first.
struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using Map = std::unordered_map<std::string, std::string_view, Hash, std::equal_to<>>;

// The one-word lookup runs for every word of texts of many megabytes, so keys
// of up to 16 bytes (all of them today) sit in a small open-addressing table
// where a word is packed into two numbers: hashed and compared without a
// loop. Longer keys would go to the map.
struct Packed {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::size_t size = 0;

    static constexpr std::size_t Capacity = 16;

    explicit Packed(std::string_view s)
        : size(s.size())
    {
        if (s.empty())
            return; // memcpy is not given the null pointer of an empty view
        std::memcpy(&a, s.data(), std::min<std::size_t>(8, s.size()));
        if (s.size() > 8)
            std::memcpy(&b, s.data() + 8, s.size() - 8);
    }
    bool operator==(const Packed &o) const { return a == o.a && b == o.b && size == o.size; }
};

class PackedTable
{
public:
    static constexpr int Bits = 9; // 512 slots for about a hundred keys: short probes

    // False when the key is there already: the first pair of a key wins.
    bool insert(const Packed &key, std::string_view value)
    {
        for (std::size_t i = slot(key);; i = (i + 1) & Mask) {
            if (!m_slots[i].used) {
                m_slots[i] = {key, value, true};
                return true;
            }
            if (m_slots[i].key == key)
                return false;
        }
    }

    const std::string_view *find(const Packed &key) const
    {
        for (std::size_t i = slot(key);; i = (i + 1) & Mask) {
            const Slot &s = m_slots[i];
            if (!s.used)
                return nullptr;
            if (s.key == key)
                return &s.value;
        }
    }

private:
    static constexpr std::size_t Mask = (std::size_t(1) << Bits) - 1;
    struct Slot {
        Packed key{std::string_view()};
        std::string_view value;
        bool used = false;
    };

    static std::size_t slot(const Packed &k)
    {
        const std::uint64_t h = (k.a * 0x9E3779B97F4A7C15ull) ^ (k.b * 0xC2B2AE3D27D4EB4Full) ^ k.size;
        return std::size_t((h ^ (h >> 29)) >> (64 - Bits)) & Mask;
    }

    std::array<Slot, std::size_t(1) << Bits> m_slots{};
};

struct Index {
    PackedTable packed;
    Map words;
    Map twoWords;
    std::vector<std::string> twoWordStarts;
    std::size_t longest = 0;
    std::size_t growth = 1;

    Index()
    {
        for (const Pair &p : pairs()) {
            const std::string key = lowerKey(p.first);
            if (key.size() <= Packed::Capacity)
                packed.insert(Packed(key), p.second);
            else
                words.emplace(key, p.second); // the first pair of a key wins
            longest = std::max(longest, p.first.size());
            // A word that lower-cases to a key has at least the key's bytes,
            // so this bounds what one word can grow to.
            growth = std::max(growth, (p.second.size() + p.first.size() - 1) / p.first.size());
        }
        for (const Pair &p : twoWordPairs()) {
            const std::string key = lowerKey(p.first);
            twoWords.emplace(key, p.second);
            growth = std::max(growth, (p.second.size() + key.size() - 1) / key.size());
            const std::string start = key.substr(0, key.find(' '));
            if (std::find(twoWordStarts.begin(), twoWordStarts.end(), start) == twoWordStarts.end())
                twoWordStarts.push_back(start);
        }
    }
};

const Index &index()
{
    static const Index i;
    return i;
}

} // namespace

const std::string_view *lookup(std::string_view lowerWord)
{
    const Index &i = index();
    if (lowerWord.size() <= Packed::Capacity)
        return i.packed.find(Packed(lowerWord));
    const auto it = i.words.find(lowerWord);
    return it == i.words.end() ? nullptr : &it->second;
}

bool beginsTwoWordKey(std::string_view lowerWord)
{
    const auto &starts = index().twoWordStarts;
    return std::find(starts.begin(), starts.end(), lowerWord) != starts.end();
}

const std::string_view *lookupTwo(std::string_view lowerFirst, std::string_view lowerSecond)
{
    const auto &two = index().twoWords;
    std::string key;
    key.reserve(lowerFirst.size() + 1 + lowerSecond.size());
    key.append(lowerFirst).append(1, ' ').append(lowerSecond);
    const auto it = two.find(key);
    return it == two.end() ? nullptr : &it->second;
}

std::size_t longestKey()
{
    return index().longest;
}

std::size_t longestGrowth()
{
    return index().growth;
}

} // namespace DialectWordTable
