// What the first bytes of a page tell about its encoding: a byte-order mark,
// a meta element that declares a character set, or, when neither says
// anything, whether the bytes read as UTF-8. Everything here looks at bytes
// already read; nothing reads on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbis {

// Only a declaration that begins and ends within this many first bytes
// counts, and the UTF-8 check looks at this many.
constexpr std::size_t DeclarationScanLength = 1024;
constexpr std::size_t Utf8CheckLength = 64 * 1024;

enum class PageEncoding {
  AsWritten,  // the bytes are shown as they are
  Utf8,
  Utf16LittleEndian,
  Utf16BigEndian,
  SingleByte,  // a single-byte set that iconv knows, by name
};

// The encoding a byte-order mark at the start of bytes gives, and the mark's
// length; AsWritten and 0 when there is none.
PageEncoding byteOrderMark(std::string_view bytes, int32_t& length);

// The label of the first meta element in the first DeclarationScanLength
// bytes of head that declares a character set, by its charset attribute or
// by http-equiv="Content-Type" with "charset=" in its content. Comments are
// skipped. False when none does.
bool findDeclaredCharset(std::string_view head, std::string& label);

// True when bytes hold at least one byte from 0x80 up and every such byte
// belongs to valid UTF-8. A sequence cut by the end of bytes counts as valid
// unless complete says that nothing follows.
bool looksLikeUtf8(std::string_view bytes, bool complete);

// What a declared label asks for. The UTF-8 labels give Utf8, and so do the
// UTF-16 ones (a declaration that could be read byte by byte is not in
// UTF-16); Latin-1 and ASCII labels name Windows-1252, as browsers read
// them. Any other label that could be a character set name gives SingleByte
// with the name to ask iconv for in name. AsWritten for the rest.
PageEncoding classifyCharsetLabel(std::string_view label, std::string& name);

}  // namespace orbis
