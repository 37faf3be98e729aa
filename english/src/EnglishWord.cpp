// Building an English word's phone list from letter-to-sound codes or from a
// dictionary pronunciation.
#include "vorsan/english/EnglishWord.h"

#include <utility>

namespace vorsan {
namespace {

// Phone numbers (see englishphones): consonants, then vowels and diphthongs.
enum Phone : int {
    P = 33, B, T, D, K, M, N, L, R, F, V, S, Z, H, W, G, TSH, DZH, NG, TH, DH, SH, ZH, J,
    II, AA, OO, UU, ER, IH, EH, AE, AH, OQ, UH, SCHWA, EI, AI, OI, OU, AU, IA, EA, UA
};
static_assert(UA == 76);

int lowerCodePhone(char c) {
    switch (c) {
    case 'p': return P;  case 'b': return B;  case 't': return T;  case 'd': return D;
    case 'k': return K;  case 'm': return M;  case 'n': return N;  case 'l': return L;
    case 'r': return R;  case 'f': return F;  case 'v': return V;  case 's': return S;
    case 'z': return Z;  case 'w': return W;  case 'g': return G;  case 'h': return H;
    case 'j': return DZH; case 'y': return J;
    default: return 0;
    }
}

// A two-character code (IY, AX, ...); the consonant codes are told apart by
// their first character only.
int pairCodePhone(char a, char b) {
    switch (a) {
    case 'T': return TH;
    case 'D': return DH;
    case 'S': return SH;
    case 'Z': return ZH;
    case 'Y': return UU;
    case 'C': return TSH;
    case 'N': return NG;
    case 'W': return W;
    case 'H': return H;
    default: break;
    }
    const int key = (a << 8) | b;
    switch (key) {
    case ('I' << 8) | 'Y': return II;
    case ('I' << 8) | 'H': return IH;
    case ('A' << 8) | 'A': return AA;
    case ('A' << 8) | 'O': return OO;
    case ('A' << 8) | 'H': return AH;
    case ('E' << 8) | 'H': return EH;
    case ('U' << 8) | 'H': return UH;
    case ('A' << 8) | 'X': return SCHWA;
    case ('A' << 8) | 'Y': return AI;
    case ('A' << 8) | 'W': return AU;
    case ('A' << 8) | 'E': return AE;
    case ('E' << 8) | 'R': return ER;
    case ('E' << 8) | 'Y': return EI;
    case ('U' << 8) | 'W': return UU;
    case ('O' << 8) | 'Y': return OI;
    case ('O' << 8) | 'W': return OU;
    default: return 0;
    }
}

// Pairs of the pronunciation notation: aI aU oI @U tS dZ eI e@ I@ U@.
int notationPair(char a, char b) {
    const int key = (a << 8) | b;
    switch (key) {
    case ('a' << 8) | 'I': return AI;
    case ('a' << 8) | 'U': return AU;
    case ('o' << 8) | 'I': return OI;
    case ('@' << 8) | 'U': return OU;
    case ('t' << 8) | 'S': return TSH;
    case ('d' << 8) | 'Z': return DZH;
    case ('e' << 8) | 'I': return EI;
    case ('e' << 8) | '@': return EA;
    case ('I' << 8) | '@': return IA;
    case ('U' << 8) | '@': return UA;
    default: return 0;
    }
}

int notationSingle(char c) {
    switch (c) {
    case 'i': return II;  case 'A': return AA;  case 'O': return OO;  case 'u': return UU;
    case '3': return ER;  case 'I': return IH;  case 'e': return EH;  case '&': return AE;
    case 'V': return AH;  case '0': return OQ;  case 'U': return UH;  case '@': return SCHWA;
    case 'N': return NG;  case 'T': return TH;  case 'D': return DH;  case 'S': return SH;
    case 'Z': return ZH;  case 'j': return J;
    case 'p': return P;   case 'b': return B;   case 't': return T;   case 'd': return D;
    case 'k': return K;   case 'm': return M;   case 'n': return N;   case 'l': return L;
    case 'r': return R;   case 'f': return F;   case 'v': return V;   case 's': return S;
    case 'z': return Z;   case 'h': return H;   case 'w': return W;   case 'g': return G;
    default: return 0;
    }
}

} // namespace

void EnglishWord::append(int phone, int32_t stressValue) {
    if (phone <= 32 || count >= kMaxPhones) return;
    phones[static_cast<std::size_t>(count)] = static_cast<uint16_t>(phone);
    stress[static_cast<std::size_t>(count)] = stressValue;
    ++count;
}

EnglishWord EnglishWord::fromCodes(std::string text, std::string codes) {
    EnglishWord w;
    w.text = std::move(text);
    w.code = std::move(codes);
    const std::string& s = w.code;
    for (std::size_t i = 0; i < s.size() && w.count < kMaxPhones; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c <= '@') continue;
        if (c >= 'A' && c <= '`') {
            if (i + 1 < s.size()) {
                w.append(pairCodePhone(s[i], s[i + 1]), 0);
                ++i;
            }
            continue;
        }
        w.append(lowerCodePhone(s[i]), 0);
    }
    return w;
}

EnglishWord EnglishWord::fromPronunciation(std::string text, std::string pronunciation, int primaryRaise,
                                           int secondaryRaise) {
    EnglishWord w;
    w.text = std::move(text);
    w.code = std::move(pronunciation);
    w.lexicalStress = true;
    const std::string& s = w.code;
    if (!s.empty() && s[0] == '_') return w;
    const bool tchSpelling = w.text.find("tch") != std::string::npos || w.text.find("TCH") != std::string::npos;
    int pending = -1;
    for (std::size_t i = 0; i < s.size() && w.count < kMaxPhones; ++i) {
        const char c = s[i];
        if (c == '\'') { pending = primaryRaise; continue; }
        if (c == ',') { pending = secondaryRaise; continue; }
        const int32_t slotStress = pending >= 0 ? pending : 0;
        pending = -1;
        if (static_cast<unsigned char>(c) <= '%') continue;
        int phone = 0;
        if (i + 1 < s.size()) {
            phone = notationPair(c, s[i + 1]);
            if (phone != 0) ++i;
        }
        if (phone == 0) phone = notationSingle(c);
        if (phone == TSH && tchSpelling && w.count > 0 && w.phones[static_cast<std::size_t>(w.count - 1)] != T)
            w.append(T, 0);
        w.append(phone, slotStress);
    }
    return w;
}

EnglishWord EnglishWord::pause(std::string text, std::string code) {
    EnglishWord w;
    w.text = std::move(text);
    w.code = std::move(code);
    return w;
}

} // namespace vorsan
