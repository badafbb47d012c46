// JPEG decoding over libjpeg's IJG API: any colour space to RGB rows, with
// limits that keep damaged or hostile files from taking long or much memory.
#include "image/jpeg_decode.h"

#include <csetjmp>
#include <jpeglib.h>
#include <jerror.h>

namespace {

// Our own messages, formatted by libjpeg like its own.
enum {
    JERR_PICTURE_TOO_LARGE = 1000,
    JERR_TOO_MANY_SCANS,
};
const char* const ownMessages[] = {
    "Picture too large to load: %u x %u pixels",
    "Too many scans in progressive JPEG (more than %d)",
    nullptr,
};

// libjpeg's standard manager, with error_exit jumping back to decodeFrom.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void recordAndJump(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (data ending early, stray bytes) do not stop the load.
void ignoreMessage(j_common_ptr) {}

// Called while libjpeg absorbs the input: a progressive file may repeat scans
// without end, and every scan costs a pass over the whole picture.
void countScans(j_common_ptr common) {
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->input_scan_number > maxJpegScans) ERREXIT1(cinfo, JERR_TOO_MANY_SCANS, maxJpegScans);
}

// Adobe files store inverted inks (255 means no ink), others plain ones.
void inksToRgb(const JSAMPLE* inks, unsigned char* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; x++, inks += 4, rgb += 3) {
        unsigned k = inverted ? inks[3] : 255u - inks[3];
        for (int i = 0; i < 3; i++) {
            unsigned c = inverted ? inks[i] : 255u - inks[i];
            rgb[i] = static_cast<unsigned char>((c * k + 127) / 255);
        }
    }
}

// The whole decompressor lifetime; error_exit lands back here. No C++ object
// with a destructor lives in the frames a jump crosses.
bool decodeFrom(std::FILE* file, const unsigned char* data, size_t size, JpegImage& image,
                std::string& error) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager jerr;
    cinfo.err = jpeg_std_error(&jerr.pub);
    jerr.pub.error_exit = recordAndJump;
    jerr.pub.output_message = ignoreMessage;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_decompress(&cinfo);
        image = JpegImage();
        error = jerr.message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    if (file)
        jpeg_stdio_src(&cinfo, file);
    else
        jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    decodeJpeg(&cinfo, &image);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

void decodeJpeg(jpeg_decompress_struct* cinfo, JpegImage* image) {
    cinfo->err->addon_message_table = ownMessages;
    cinfo->err->first_addon_message = JERR_PICTURE_TOO_LARGE;
    cinfo->err->last_addon_message = JERR_TOO_MANY_SCANS;
    cinfo->mem->max_memory_to_use = maxJpegLibraryMemory;
    auto* progress = static_cast<jpeg_progress_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_progress_mgr)));
    progress->progress_monitor = countScans;
    cinfo->progress = progress;

    jpeg_read_header(cinfo, TRUE);
    const uint64_t bytes = uint64_t(cinfo->image_width) * cinfo->image_height * 3;
    if (cinfo->image_width > unsigned(maxJpegSide) || cinfo->image_height > unsigned(maxJpegSide) ||
        bytes > maxJpegBytes)
        ERREXIT2(cinfo, JERR_PICTURE_TOO_LARGE, cinfo->image_width, cinfo->image_height);

    // libjpeg turns grey and YCbCr into RGB itself; CMYK and YCCK come out as
    // inks, which are turned into RGB below.
    const bool inks = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = inks ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo);

    const JDIMENSION width = cinfo->output_width, height = cinfo->output_height;
    image->width = int32_t(width);
    image->height = int32_t(height);
    image->rowBytes = int32_t(width * 3);
    image->pixels.assign(size_t(image->rowBytes) * height, 0);

    if (!inks) {
        auto* rows = static_cast<JSAMPROW*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, height * sizeof(JSAMPROW)));
        for (JDIMENSION i = 0; i < height; i++)
            rows[i] = image->pixels.data() + size_t(i) * image->rowBytes;
        JDIMENSION n = 0;
        while (cinfo->output_scanline < height) {
            JDIMENSION got = jpeg_read_scanlines(cinfo, rows + n, height - n);
            if (got == 0) ERREXIT(cinfo, JERR_INPUT_EMPTY); // never loop without progress
            n += got;
        }
    } else {
        JSAMPARRAY inkRow = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                        JPOOL_IMAGE, width * 4, 1);
        const bool inverted = cinfo->saw_Adobe_marker;
        while (cinfo->output_scanline < height) {
            JDIMENSION row = cinfo->output_scanline;
            if (jpeg_read_scanlines(cinfo, inkRow, 1) == 0) ERREXIT(cinfo, JERR_INPUT_EMPTY);
            inksToRgb(inkRow[0], image->pixels.data() + size_t(row) * image->rowBytes, width,
                      inverted);
        }
    }
    jpeg_finish_decompress(cinfo);
}

bool decodeJpegStream(std::FILE* file, JpegImage& image, std::string& error) {
    if (!file) {
        error = "No file to read";
        return false;
    }
    return decodeFrom(file, nullptr, 0, image, error);
}

bool decodeJpegFile(const char* path, JpegImage& image, std::string& error) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        error = std::string("Cannot open ") + (path ? path : "(no file name)");
        return false;
    }
    bool ok = decodeFrom(file, nullptr, 0, image, error);
    std::fclose(file);
    return ok;
}

bool decodeJpegMemory(const unsigned char* data, size_t size, JpegImage& image,
                      std::string& error) {
    return decodeFrom(nullptr, data, size, image, error);
}
