// PNG decoding over libpng: every legal layout to 8-bit RGB or RGBA rows,
// with limits checked before anything large is allocated.
#include "image/png_decode.h"

#include <cstdio>
#include <cstring>
#include <png.h>

namespace {

struct MemorySource {
    const unsigned char* data;
    size_t size;
    size_t position;
};

struct DecodeContext {
    char message[256];
};

void recordAndJump(png_structp png, png_const_charp message) {
    auto* context = static_cast<DecodeContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof context->message, "%s", message);
    png_longjmp(png, 1);
}

// Damaged ancillary chunks and the like do not stop the load, and say nothing.
void ignoreWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep out, size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->position) png_error(png, "Read past the end of the data");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

// Every libpng call that may jump back here; what it fills belongs to the
// caller, so the jump crosses no C++ object with a destructor.
bool readPicture(png_structp png, png_infop info, bool keepAlpha, PngImage& image,
                 std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, maxPngSide, maxPngSide);
    png_set_chunk_malloc_max(png, maxPngChunkBytes);
    // Text, colour profiles and the like are never used here, and libpng
    // would allocate whatever length such a chunk declares (the chunk limit
    // above only warns): skip them unread.
    static const png_byte unusedChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unusedChunks,
                                int(sizeof unusedChunks / 5));
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || transparentColour;

    // Everything becomes 8-bit RGB, plus alpha when asked for and present.
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (transparentColour) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_scale_16(png);
    if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    if (hasAlpha && !keepAlpha) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const uint32_t channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (channels != (hasAlpha && keepAlpha ? 4u : 3u) || rowBytes != size_t(width) * channels)
        png_error(png, "Unexpected row layout after conversion");
    if (uint64_t(rowBytes) * height > maxPngBytes) png_error(png, "Picture too large to load");

    image.width = width;
    image.height = height;
    image.channels = channels;
    image.fileDepth = uint32_t(depth);
    image.pixels.assign(rowBytes * height, 0);
    rows.resize(height);
    for (png_uint_32 i = 0; i < height; i++)
        rows[i] = image.pixels.data() + i * rowBytes;
    png_read_image(png, rows.data());
    // Reading to the end checks the last checksums: a cut file is damaged.
    png_read_end(png, nullptr);
    return true;
}

bool decodeFrom(std::FILE* file, MemorySource* memory, bool keepAlpha, PngImage& image,
                std::string& error) {
    DecodeContext context{};
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, recordAndJump, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "Out of memory";
        return false;
    }
    if (file)
        png_init_io(png, file);
    else
        png_set_read_fn(png, memory, readFromMemory);
    std::vector<png_bytep> rows;
    const bool ok = readPicture(png, info, keepAlpha, image, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        image = PngImage();
        error = context.message;
    }
    return ok;
}

} // namespace

bool decodePngFile(const char* path, bool keepAlpha, PngImage& image, std::string& error) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        error = std::string("Cannot open ") + (path ? path : "(no file name)");
        return false;
    }
    const bool ok = decodeFrom(file, nullptr, keepAlpha, image, error);
    std::fclose(file);
    return ok;
}

bool decodePngMemory(const unsigned char* data, size_t size, bool keepAlpha, PngImage& image,
                     std::string& error) {
    MemorySource source{data, data ? size : 0, 0};
    return decodeFrom(nullptr, &source, keepAlpha, image, error);
}
