#include "PdfBuffer.h"

#include <libdeflate.h>

namespace report {

// Compressors are set up once per thread: that costs more than compressing a page.
QByteArray deflate(std::string_view raw, Packing packing)
{
    struct Compressors {
        libdeflate_compressor *fast = libdeflate_alloc_compressor(int(Packing::Fast));
        libdeflate_compressor *tight = libdeflate_alloc_compressor(int(Packing::Tight));
        ~Compressors()
        {
            libdeflate_free_compressor(fast);
            libdeflate_free_compressor(tight);
        }
    };
    static thread_local Compressors compressors;
    libdeflate_compressor *compressor = packing == Packing::Fast ? compressors.fast : compressors.tight;
    if (!compressor)
        return QByteArray();
    QByteArray packed(qsizetype(libdeflate_zlib_compress_bound(compressor, raw.size())), Qt::Uninitialized);
    const size_t size =
        libdeflate_zlib_compress(compressor, raw.data(), raw.size(), packed.data(), size_t(packed.size()));
    packed.truncate(qsizetype(size)); // empty when it failed
    return packed;
}

} // namespace report
