// Texts shared by every back end: number to text and text to number, written
// out here so that every build gives the same text for the same value.
#include "toolkit.h"

#include <cmath>
#include <cstring>

Text IntText(int64_t value) {
    // Digits are written from the end of a small buffer, the sign before them.
    char16_t buffer[24];
    char16_t* end = buffer + 24;
    char16_t* start = end;
    // Work on the magnitude as unsigned so that the most negative value works.
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        *--start = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--start = u'-';
    return Text(start, end);
}

namespace {

// A non-negative big integer in base 2^32, least significant limb first.
struct BigNumber {
    std::vector<uint32_t> limbs;

    bool IsZero() const {
        for (uint32_t limb : limbs)
            if (limb != 0)
                return false;
        return true;
    }
    void MultiplySmall(uint32_t factor) {
        uint64_t carry = 0;
        for (uint32_t& limb : limbs) {
            uint64_t product = static_cast<uint64_t>(limb) * factor + carry;
            limb = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            limbs.push_back(static_cast<uint32_t>(carry));
    }
    void AddSmall(uint32_t addend) {
        uint64_t carry = addend;
        for (uint32_t& limb : limbs) {
            if (carry == 0)
                return;
            uint64_t sum = static_cast<uint64_t>(limb) + carry;
            limb = static_cast<uint32_t>(sum);
            carry = sum >> 32;
        }
        if (carry != 0)
            limbs.push_back(static_cast<uint32_t>(carry));
    }
    void ShiftLeft(int bits) {
        int whole = bits / 32;
        int part = bits % 32;
        limbs.insert(limbs.begin(), whole, 0u);
        if (part != 0) {
            uint32_t carry = 0;
            for (uint32_t& limb : limbs) {
                uint32_t next = limb >> (32 - part);
                limb = (limb << part) | carry;
                carry = next;
            }
            if (carry != 0)
                limbs.push_back(carry);
        }
    }
    bool Bit(int index) const {
        size_t limb = static_cast<size_t>(index) / 32;
        return limb < limbs.size() && ((limbs[limb] >> (index % 32)) & 1u) != 0;
    }
    // Any bit below index set?
    bool AnyBitBelow(int index) const {
        for (int i = 0; i < index; ++i)
            if (Bit(i))
                return true;
        return false;
    }
    void ShiftRight(int bits) {
        size_t whole = static_cast<size_t>(bits) / 32;
        int part = bits % 32;
        if (whole >= limbs.size()) {
            limbs.assign(1, 0u);
            return;
        }
        limbs.erase(limbs.begin(), limbs.begin() + static_cast<long>(whole));
        if (part != 0) {
            for (size_t i = 0; i < limbs.size(); ++i) {
                uint32_t high = i + 1 < limbs.size() ? limbs[i + 1] << (32 - part) : 0u;
                limbs[i] = (limbs[i] >> part) | high;
            }
        }
    }
    // Decimal digits, most significant first.
    std::string Decimal() const {
        BigNumber rest = *this;
        std::string digits;
        while (!rest.IsZero()) {
            uint64_t remainder = 0;
            for (size_t i = rest.limbs.size(); i-- > 0;) {
                uint64_t current = (remainder << 32) | rest.limbs[i];
                rest.limbs[i] = static_cast<uint32_t>(current / 10);
                remainder = current % 10;
            }
            digits.push_back(static_cast<char>('0' + remainder));
        }
        if (digits.empty())
            digits = "0";
        return std::string(digits.rbegin(), digits.rend());
    }
};

} // namespace

Text FloatText(float value, int decimals) {
    if (decimals < 0)
        decimals = 0;
    if (decimals > 60)
        decimals = 60;
    bool negative = std::signbit(value);
    if (std::isnan(value))
        return negative ? u"-nan" : u"nan";
    if (std::isinf(value))
        return negative ? u"-inf" : u"inf";

    // The exact binary value is mantissa * 2^exponent.
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    uint32_t mantissa = bits & 0x7FFFFFu;
    int biased = static_cast<int>((bits >> 23) & 0xFFu);
    int exponent;
    if (biased == 0) {
        exponent = -149;
    } else {
        mantissa |= 0x800000u;
        exponent = biased - 150;
    }

    // scaled = value * 10^decimals, rounded half to even on the exact value.
    BigNumber scaled;
    scaled.limbs.assign(1, mantissa);
    for (int i = 0; i < decimals; ++i)
        scaled.MultiplySmall(10);
    if (exponent >= 0) {
        scaled.ShiftLeft(exponent);
    } else {
        int shift = -exponent;
        bool half = scaled.Bit(shift - 1);
        bool belowHalf = scaled.AnyBitBelow(shift - 1);
        scaled.ShiftRight(shift);
        bool odd = scaled.Bit(0);
        if (half && (belowHalf || odd))
            scaled.AddSmall(1);
    }

    std::string digits = scaled.Decimal();
    if (static_cast<int>(digits.size()) <= decimals)
        digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
    std::string text = negative ? "-" : "";
    text += digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    if (decimals > 0) {
        text += '.';
        text += digits.substr(digits.size() - static_cast<size_t>(decimals));
    }
    return Text(text.begin(), text.end());
}

int64_t TextValue(const Text& text) {
    size_t i = 0;
    size_t n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    uint32_t base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < n && text[i] == u'%') {
        base = 2;
        ++i;
    }
    // Accumulate modulo 2^64: an overlong number keeps its low bits.
    uint64_t value = 0;
    for (; i < n; ++i) {
        char16_t c = text[i];
        uint32_t digit;
        if (c >= u'0' && c <= u'9')
            digit = static_cast<uint32_t>(c - u'0');
        else if (c >= u'a' && c <= u'f')
            digit = static_cast<uint32_t>(c - u'a' + 10);
        else if (c >= u'A' && c <= u'F')
            digit = static_cast<uint32_t>(c - u'A' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    if (negative)
        value = 0 - value;
    return static_cast<int64_t>(value);
}

namespace {
char16_t LowerCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 0x20);
    return c;
}
} // namespace

bool SameTextIgnoringCase(const Text& a, const Text& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerCase(a[i]) != LowerCase(b[i]))
            return false;
    return true;
}

Text TextFromUtf8(const std::string& utf8) {
    Text text;
    text.reserve(utf8.size());
    size_t i = 0;
    size_t n = utf8.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        uint32_t code;
        int extra;
        if (c < 0x80) {
            code = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            code = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            code = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            code = c & 0x07;
            extra = 3;
        } else {
            text.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (i + static_cast<size_t>(extra) >= n) { // cut short at the end
            text.push_back(u'\uFFFD');
            break;
        }
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            text.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += static_cast<size_t>(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
    }
    return text;
}

std::string Utf8FromText(const Text& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD; // a lone surrogate
        }
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}
