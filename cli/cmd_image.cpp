// sortie-cli image decode FILE [-o OUT.pam] [--indices] [--bands]
// Decodes a map image with the editor's own readers and prints its size, or writes its pixels
// as a PAM file (RGB; with --indices an 8-bit PCX as its palette indices, GRAYSCALE).
#include "cli/cli.h"
#include "core/nocase.h"

#include "core/file.h"
#include "core/mem.h"
#include "gamedata/image.h"
#include "gamedata/jpeg.h"
#include "gamedata/path.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* kImageUsage =
    "usage: sortie-cli image decode FILE [-o OUT.pam] [--indices] [--bands]\n"
    "  Decodes a JPEG colour map, TGA, 8-bit PCX or R16 elevation file with the editor's readers.\n"
    "  -o OUT.pam  write the pixels as a PAM file (RGB, or GRAYSCALE with --indices)\n"
    "  --indices   8-bit PCX: give the palette indices instead of the green channel\n"
    "  --bands     R16: colour bands instead of the height's high byte in green\n";

constexpr auto lower = nocase_ToLower;

std::string pamHeader(int width, int height, int depth, const char* tupleType) {
    return "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) + "\nDEPTH " +
           std::to_string(depth) + "\nMAXVAL 255\nTUPLTYPE " + tupleType + "\nENDHDR\n";
}

bool writePamRgb(const std::string& path, int width, int height, const std::uint32_t* pixels) {
    std::string out = pamHeader(width, height, 3, "RGB");
    const std::size_t header = out.size();
    out.resize(header + std::size_t(width) * height * 3);
    char* p = out.data() + header;
    for (std::size_t i = 0; i < std::size_t(width) * height; ++i) {
        *p++ = static_cast<char>(pixels[i] >> 16);
        *p++ = static_cast<char>(pixels[i] >> 8);
        *p++ = static_cast<char>(pixels[i]);
    }
    return file_WriteAtomic(path, out.data(), out.size());
}

bool writePamGrey(const std::string& path, int width, int height, const std::uint8_t* values) {
    std::string out = pamHeader(width, height, 1, "GRAYSCALE");
    out.append(reinterpret_cast<const char*>(values), std::size_t(width) * height);
    return file_WriteAtomic(path, out.data(), out.size());
}

const char* readerResult(int rc) {
    switch (rc) {
    case kImgNotFound: return "not found";
    case kImgNoMemory: return "out of memory";
    case kImgWrongFormat: return "wrong format";
    default: return "failed";
    }
}

struct MemSession {
    bool ok = mem_Startup() == 0;
    ~MemSession() { mem_Shutdown(); }
};

int imageDecode(const CliArgs& args) {
    std::string input, output;
    bool indices = false, bands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (a == "--indices")
            indices = true;
        else if (a == "--bands")
            bands = true;
        else if (!a.empty() && a[0] == '-') {
            std::fputs(kImageUsage, stderr);
            return cli_Fail(kExitUsage, "image decode: unknown option " + a);
        } else if (input.empty())
            input = a;
        else {
            std::fputs(kImageUsage, stderr);
            return cli_Fail(kExitUsage, "image decode: more than one input file");
        }
    }
    if (input.empty()) {
        std::fputs(kImageUsage, stderr);
        return kExitUsage;
    }
    std::ifstream f(input, std::ios::binary);
    if (!f) return cli_Fail(kExitBadInput, input + ": cannot open");
    const std::vector<std::uint8_t> data(std::istreambuf_iterator<char>(f), {});
    const std::string ext = lower(path_Parts(input, kPathExtension));

    if (ext == ".jpg" || ext == ".jpeg") {
        int w = 0, h = 0;
        if (!jpeg_ReadSize(data.data(), data.size(), &w, &h))
            return cli_Fail(kExitBadInput, input + ": not a baseline JFIF picture");
        std::uint32_t* pixels = nullptr;
        if (!jpeg_Decode(data.data(), data.size(), &w, &h, &pixels, true))
            return cli_Fail(kExitBadInput, input + ": refused by the decoder");
        const bool ok = output.empty() || writePamRgb(output, w, h, pixels);
        jpeg_FreePixels(pixels);
        if (!ok) return cli_Fail(kExitBadInput, output + ": cannot write");
        std::printf("%s: JPEG %d x %d\n", input.c_str(), w, h);
        return kExitOk;
    }

    MemSession mem;
    if (!mem.ok) return cli_Fail(kExitBadInput, "no memory for the image pools");
    img_Settings().r16ColourBands = bands;
    ImageRecord image;
    int rc = kImgWrongFormat;
    const char* kind = "";
    if (ext == ".tga") {
        kind = "TGA";
        rc = img_DecodeTga(image, data.data(), data.size(), input.c_str());
    } else if (ext == ".pcx") {
        kind = "PCX";
        rc = indices ? img_DecodePcxIndexed(image, data.data(), data.size(), input.c_str())
                     : img_DecodePcxGreen(image, data.data(), data.size(), input.c_str());
    } else if (ext == ".r16") {
        kind = "R16";
        rc = img_DecodeR16(image, data.data(), data.size(), input.c_str());
    } else {
        return cli_Fail(kExitBadInput, input + ": unknown image kind (jpg, tga, pcx or r16)");
    }
    if (rc != kImgDone) return cli_Fail(kExitBadInput, input + ": " + readerResult(rc));
    if (indices && ext != ".pcx") return cli_Fail(kExitUsage, "image decode: --indices is for PCX files");
    bool ok = true;
    if (!output.empty())
        ok = indices ? writePamGrey(output, image.width, image.height, image.indices())
                     : writePamRgb(output, image.width, image.height, image.pixels32());
    if (!ok) return cli_Fail(kExitBadInput, output + ": cannot write");
    std::printf("%s: %s %d x %d, name %s, flags 0x%02X\n", input.c_str(), kind, image.width, image.height, image.name,
                static_cast<unsigned>(image.flags));
    img_Release(image);
    return kExitOk;
}

}  // namespace

int cmd_Image(CliContext&, const CliArgs& args) {
    if (args.empty() || cli_WantsHelp(args)) {
        std::fputs(kImageUsage, args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "decode") return imageDecode(CliArgs(args.begin() + 1, args.end()));
    std::fputs(kImageUsage, stderr);
    return cli_Fail(kExitUsage, "image: unknown subcommand " + args[0]);
}
