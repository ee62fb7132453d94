// Any bytes as a recovery copy, and any text written as one: a copy that reads is read again the
// same when written anew, and a written copy always reads back as written.

#include "files/recovery_copy.h"

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const std::optional<RecoveryCopy> copy = ReadRecoveryCopy({data, size}))
        Require(ReadRecoveryCopy(RecoveryCopyBytes(*copy)) == copy, "a copy read is written back the same");
    FuzzedDataProvider input(data, size);
    RecoveryCopy made;
    made.file = ConsumeText(input, u"\\:.c\n", 32);
    made.time = ConsumeText(input, u"0:- ", 16);
    made.text = ConsumeRestAsText(input, u"\r\n\n:");
    const std::optional<RecoveryCopy> back = ReadRecoveryCopy(RecoveryCopyBytes(made));
    Require(back.has_value() && back->text == made.text, "the text of a written copy comes back whole");
    const std::u16string name = RecoveryFileName({{static_cast<std::uint32_t>(size), size * 977}, size % 2 == 0});
    Require(ParseRecoveryFileName(name).has_value(), "a written name is read");
    return 0;
}
