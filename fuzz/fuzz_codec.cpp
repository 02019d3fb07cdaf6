// The codec on any bytes, and on any UTF-16 text, and the rule that tells
// UTF-8 sets from code-page-932 ones.

#include "fuzzutil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes = fuzzutil::view(data, size);
    const QString text = montera::cp932::decode(bytes);
    if (text.size() > bytes.size())
        std::abort();
    // Whatever was decoded encodes to bytes that decode to the same text.
    if (montera::cp932::decode(montera::cp932::encode(text)) != text)
        std::abort();
    // Well-formed UTF-8 is exactly what Qt's decoder takes back unchanged
    // (it drops a leading byte-order mark).
    const bool utf8 = montera::isWellFormedUtf8(bytes);
    if (utf8 != (QString::fromUtf8(bytes).toUtf8() == montera::withoutUtf8Bom(bytes)))
        std::abort();
    // Without the mark, only text that the code-page-932 decoder would garble
    // is read as UTF-8, so every cleanly decoding set stays as it was.
    const bool readAsUtf8 = montera::detectTextEncoding(bytes) == montera::TextEncoding::Utf8;
    if (!bytes.startsWith(montera::kUtf8Bom) &&
        readAsUtf8 != (utf8 && montera::hasNonAscii(bytes) && !montera::isWellFormedCp932(bytes)))
        std::abort();
    // Arbitrary UTF-16, unpaired surrogates included.
    const QStringView wide(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    const QByteArray encoded = montera::cp932::encode(wide);
    if (encoded.size() > 2 * wide.size())
        std::abort();
    return 0;
}
