// The host's resource readers on hostile bytes: a module file (ELF with its
// ".rsrc" section, or a PE32 resource tree), a compiled resource file, a dialog
// template and a "PNGI" icon. Each refuses what it cannot read with its own
// error; anything else (a crash, a read outside the input, another exception)
// is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "elf_image.h"
#include "host/adm/dialog_template.h"
#include "host/adm/icon_decoder.h"
#include "host/pipl.h"
#include "host/resource_table.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "resource reader broke its contract: %s\n", what);
        std::abort();
    }
}

void DecodeIcon(const std::uint8_t* data, std::size_t size) {
    std::string why;
    const auto icon = host::adm::DecodeIconPng(data, size, &why);
    if (icon == nullptr) {
        Require(!why.empty(), "a refused icon has a reason");
        return;
    }
    Require(icon->width == host::adm::kIconSize && icon->height == host::adm::kIconSize &&
                icon->rgba.size() == std::size_t{4} * host::adm::kIconSize * host::adm::kIconSize,
            "an accepted icon is 24 x 24 RGBA");
}

// What the host does with a module's resources once the table is read.
void ReadEach(const host::ResourceTable& table) {
    for (const host::Resource& r : table.Resources()) {
        if (r.type.isOrdinal && r.type.ordinal == 5) {
            try {
                host::adm::ParseDialogTemplate(r.data);
            } catch (const host::adm::TemplateError&) {
            }
        } else if (r.type.Matches(host::ResourceId::Name("PNGI"))) {
            DecodeIcon(r.data.data(), r.data.size());
        } else if (r.type.Matches(host::ResourceId::Name("PIPL"))) {
            try {
                const host::PiplCheck check =
                    host::CheckPipl(host::ParsePipl(r.data.data(), r.data.size()));
                Require(check.ok ? !check.entryName.empty() : !check.error.empty(),
                        "a property list is accepted with an entry point or refused with a reason");
            } catch (const host::ResourceError&) {
            }
        }
        Require(!r.type.ToString().empty() && !r.name.ToString().empty(),
                "every resource has a printable type and name");
    }
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Mutations rarely keep a chunk's checksum right; mending it lets the fuzzer
// reach the decoder behind it instead of libpng's checksum test.
void MendPngChecksums(Bytes& png) {
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length =
            (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (length > png.size() - at - 12) break;
        const std::uint32_t crc = Crc32(png.data() + at + 4, 4 + length);
        std::uint8_t* out = png.data() + at + 8 + length;
        out[0] = static_cast<std::uint8_t>(crc >> 24);
        out[1] = static_cast<std::uint8_t>(crc >> 16);
        out[2] = static_cast<std::uint8_t>(crc >> 8);
        out[3] = static_cast<std::uint8_t>(crc);
        at += 12 + length;
    }
}

}  // namespace

// The first byte chooses the reader; the rest is its input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Bytes input(data + 1, data + size);
    switch (data[0] % 5) {
        case 0:  // a module file, ELF or PE by its signature
            try {
                ReadEach(host::ReadModuleResources(input));
            } catch (const host::ResourceError& e) {
                Require(std::strlen(e.what()) != 0, "a refused module has a reason");
            }
            try {
                host::detail::FindElfUnloadBlockers(input.data(), input.size());
            } catch (const host::ResourceError&) {
            }
            break;
        case 1:  // a compiled resource file
            try {
                ReadEach(host::ParseResFile(input.data(), input.size()));
            } catch (const host::ResourceError&) {
            }
            break;
        case 2:  // a dialog template
            try {
                const host::adm::DialogTemplate dialog = host::adm::ParseDialogTemplate(input);
                for (const host::adm::TemplateItem& item : dialog.items)
                    host::adm::Utf16ToUtf8(item.text.text);
                host::adm::Utf16ToUtf8(dialog.caption);
            } catch (const host::adm::TemplateError& e) {
                Require(std::strlen(e.what()) != 0, "a refused template has a reason");
            }
            break;
        case 3: {  // an icon
            Bytes png = input;
            MendPngChecksums(png);
            DecodeIcon(png.data(), png.size());
            break;
        }
        default:  // a property list
            try {
                host::CheckPipl(host::ParsePipl(input.data(), input.size()));
            } catch (const host::ResourceError&) {
            }
            break;
    }
    return 0;
}
