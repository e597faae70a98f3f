#include "base/error.h"
#include "base/markup.h"
#include "base/sha256.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

// The standard's own vectors; the million 'a' go in through pieces of 1 … 97 bytes, so that
// every split of the 64-byte blocks and of the final padding is met.
TEST(Sha256, KnownVectorsWholeAndInPieces)
{
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');
    Sha256 pieces;
    for (std::size_t at = 0, n = 1; at < million.size(); at += n, n = n % 97 + 1)
        pieces.update(std::string_view(million).substr(at, n));
    EXPECT_EQ(pieces.hexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    test::TempDir dir;
    EXPECT_EQ(sha256OfFile(dir.write("m.txt", million)), sha256Hex(million));
    EXPECT_THROW(sha256OfFile(dir.path() / "missing.txt"), Error);
}

TEST(EscapeMarkup, NamesShowAsThemselvesAndNeverAsMarkup)
{
    EXPECT_EQ(escapeMarkup("a <b> & \"c\" 'd'.txt"), "a &lt;b&gt; &amp; &quot;c&quot; &#39;d&#39;.txt");
    EXPECT_EQ(escapeMarkup("Messung_Größe_µs_日本.txt"), "Messung_Größe_µs_日本.txt");
    EXPECT_EQ(escapeMarkup("\U0001F600"), "\U0001F600");
    const std::string fffd = "\xEF\xBF\xBD";
    // Stray continuation, truncated sequence, overlong '/', surrogate, beyond U+10FFFF, controls.
    EXPECT_EQ(escapeMarkup("a\x80z"), "a" + fffd + "z");
    EXPECT_EQ(escapeMarkup("\xE6\x97"), fffd + fffd);
    EXPECT_EQ(escapeMarkup("\xC0\xAF"), fffd + fffd);
    EXPECT_EQ(escapeMarkup("\xED\xA0\x80"), fffd + fffd + fffd);
    EXPECT_EQ(escapeMarkup("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);
    EXPECT_EQ(escapeMarkup(std::string("x\0y\x1b\t\n", 6)), "x" + fffd + "y" + fffd + "\t\n");
}

}  // namespace
}  // namespace orvane
