// Fuzz target over the whole one-file conversion: bytes in, output text or refusal out.
//
// Checks, for every input:
// - the result is a converted text or one of the two refusals (CMX, unknown layout);
// - converting the same bytes again gives the same result and the same output;
// - with the delete option the output differs only by lines the option removes;
// - a controller-coded file and its plain-text twin give the same output: the input is turned
//   into printable text with CR LF line ends (holding a "1", so it is read as plain text), and
//   into the controller's coding of the same text (bit 7 on every "1" and on other characters
//   that come back unchanged, 0x8D as the line end).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine.h"

namespace {

using Bytes = std::string;

const char STAMP[] = "2019/03/06  09:05:07";

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

ConversionResult Convert(const Bytes& source, uint32_t options, Bytes* output) {
    MemorySource memory{reinterpret_cast<const uint8_t*>(source.data()), source.size(), 0};
    ByteSource input = MakeMemorySource(&memory);
    LineState state{};
    ByteBuffer out{};
    ConversionResult result =
        ConvertEdlSource(&input, static_cast<uint32_t>(source.size()), "F.EDL", STAMP, options,
                         &state, &out, nullptr, nullptr, nullptr);
    output->clear();
    if (result == RESULT_CONVERTED) {
        output->assign(reinterpret_cast<const char*>(out.bytes), out.length);
        Check(output->find('\0') == Bytes::npos, "the output text holds no NUL byte");
        BufferRelease(&out);
    }
    return result;
}

// Printable text from arbitrary bytes: every byte becomes a character of the event-line
// alphabet or a line end, so that the text is rich in event lines.
Bytes PlainTwin(const uint8_t* data, size_t size) {
    static const char alphabet[] = "0123456789 0123456789 :::.,.  ABCDKVWFPREADMSpeed:+-x ";
    Bytes text = "1\r\n";  // a "1" makes the plain text read as plain text
    for (size_t k = 0; k < size; ++k) {
        uint8_t byte = data[k];
        if (byte % 23 == 0) {
            text += "\r\n";
        } else {
            text += alphabet[byte % (sizeof alphabet - 1)];
        }
    }
    return text;
}

// The controller's coding of a plain twin: 0x8D for CR LF, bit 7 on every "1" and, by the
// input's own bits, on characters whose coded form decodes back to them.
Bytes ControllerTwin(const Bytes& plain, const uint8_t* data, size_t size) {
    Bytes coded;
    for (size_t k = 0; k < plain.size(); ++k) {
        char c = plain[k];
        if (c == '\r') {
            coded += '\x8D';
            ++k;  // its line feed
            continue;
        }
        bool keepsItsForm = c != '.' && c != 'i' && c != 'm' && c < 'v';
        bool setBit = c == '1' || (keepsItsForm && size > 0 && (data[k % size] & 0x40) != 0);
        coded += setBit ? static_cast<char>(c | 0x80) : c;
    }
    return coded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes source(reinterpret_cast<const char*>(data), size);
    Bytes first;
    ConversionResult result = Convert(source, 0, &first);
    Check(result == RESULT_CONVERTED || result == RESULT_CMX_FORMAT ||
              result == RESULT_UNKNOWN_FORMAT,
          "a converted text or a refusal");
    Bytes again;
    Check(Convert(source, 0, &again) == result && again == first,
          "the same bytes, the same output");
    Bytes withoutInternal;
    Check(Convert(source, OPTION_DELETE_INTERNAL_DATA, &withoutInternal) == result,
          "the option changes no refusal");
    Check(withoutInternal.size() <= first.size(), "the option only removes lines");

    Bytes plain = PlainTwin(data, size);
    Bytes fromPlain;
    Bytes fromController;
    ConversionResult plainResult = Convert(plain, 0, &fromPlain);
    ConversionResult controllerResult =
        Convert(ControllerTwin(plain, data, size), 0, &fromController);
    Check(plainResult == controllerResult, "twins: the same result");
    Check(fromPlain == fromController, "twins: the same output");
    return 0;
}
