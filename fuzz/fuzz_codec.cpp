// The codec on any bytes, and on any UTF-16 text.

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
    // Arbitrary UTF-16, unpaired surrogates included.
    const QStringView wide(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    const QByteArray encoded = montera::cp932::encode(wide);
    if (encoded.size() > 2 * wide.size())
        std::abort();
    return 0;
}
