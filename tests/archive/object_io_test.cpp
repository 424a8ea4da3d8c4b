#include "archive/object_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/class_registry.h"
#include "command/kel_command.h"

namespace kelcmd {
namespace {

std::vector<uint8_t> U16(uint16_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
}

std::vector<uint8_t> NewClassTag(const std::string& name, uint16_t schema = 1) {
    std::vector<uint8_t> tag = {0xFF, 0xFF};
    for (uint16_t v : {schema, static_cast<uint16_t>(name.size())}) {
        auto b = U16(v);
        tag.insert(tag.end(), b.begin(), b.end());
    }
    tag.insert(tag.end(), name.begin(), name.end());
    return tag;
}

std::vector<uint8_t> DataOf(CObject& object) {
    CArchive out;
    object.Serialize(out);
    return out.TakeData();
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ObjectIoTest, ClassTagOnFirstUseThenClassIndex) {
    CKelCommand first;
    first.SetCommand("First", 36, 0, 0);
    CKelCommand second;
    second.SetCommand("Second", 48, 0, 0);
    CCommand plain;
    plain.SetName("Plain");
    CCommand plainToo;

    CArchive out;
    WriteObject(out, &first);   // class CKelCommand = 1, object = 2
    WriteObject(out, &second);  // object = 3
    WriteObject(out, nullptr);
    WriteObject(out, &plain);     // class CCommand = 4, object = 5
    WriteObject(out, &plainToo);  // object = 6
    ASSERT_FALSE(out.Failed());

    const std::vector<uint8_t> expected =
        Concat({NewClassTag("CKelCommand"), DataOf(first), U16(0x8001), DataOf(second), U16(0),
                NewClassTag("CCommand"), DataOf(plain), U16(0x8004), DataOf(plainToo)});
    EXPECT_EQ(out.Data(), expected);

    CArchive in(out.Data());
    auto a = ReadObjectAs<CKelCommand>(in);
    auto b = ReadObjectAs<CKelCommand>(in);
    auto none = ReadObject(in, nullptr);
    auto c = ReadObjectAs<CCommand>(in);
    auto d = ReadObjectAs<CCommand>(in);
    ASSERT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    ASSERT_TRUE(a && b && c && d);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(a->GetName(), "First");
    EXPECT_EQ(a->GetCode(), 36);
    EXPECT_EQ(b->GetName(), "Second");
    EXPECT_EQ(c->GetName(), "Plain");
    EXPECT_EQ(c->GetRuntimeClass(), CCommand::StaticClass());
}

TEST(ObjectIoTest, MalformedReferencesFailTheArchive) {
    CCommand plain;
    const std::vector<uint8_t> plainData = DataOf(plain);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const CRuntimeClass* expected;
    };
    const Case cases[] = {
        {"unknown class", Concat({NewClassTag("CNoSuchClass"), plainData}), nullptr},
        {"name differing in case", Concat({NewClassTag("ccommand"), plainData}), nullptr},
        {"other schema", Concat({NewClassTag("CCommand", 2), plainData}), nullptr},
        {"not the expected base", Concat({NewClassTag("CCommand"), plainData}),
         CKelCommand::StaticClass()},
        {"class index never assigned", Concat({U16(0x8001), plainData}), nullptr},
        {"class index naming an object",
         Concat({NewClassTag("CCommand"), plainData, U16(0x8002), plainData}), nullptr},
        {"back reference to a loaded object", Concat({NewClassTag("CCommand"), plainData, U16(2)}),
         nullptr},
        {"long object tag", U16(0x7FFF), nullptr},
        {"truncated name", {0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00, 'C', 'C'}, nullptr},
        {"truncated data", Concat({NewClassTag("CCommand"), {0x00, 0x00}}), nullptr},
        {"half a tag", {0xFF}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CArchive in(c.bytes);
        std::unique_ptr<CObject> object;
        do {
            object = ReadObject(in, c.expected);
        } while (object && !in.Failed());
        EXPECT_TRUE(in.Failed());
        EXPECT_EQ(object, nullptr);
    }
}

TEST(ObjectIoTest, SameObjectTwiceIsWrittenAsBackReference) {
    CCommand plain;
    CArchive out;
    WriteObject(out, &plain);
    WriteObject(out, &plain);
    const std::vector<uint8_t> expected = Concat({NewClassTag("CCommand"), DataOf(plain), U16(2)});
    EXPECT_EQ(out.Data(), expected);
}

TEST(ObjectIoTest, NullReferenceIsNotAFailure) {
    const std::vector<uint8_t> bytes = U16(0);
    CArchive in(bytes);
    EXPECT_EQ(ReadObject(in, CCommand::StaticClass()), nullptr);
    EXPECT_FALSE(in.Failed());
}

TEST(ClassRegistryTest, NamesAreExactAndKeepTheirFirstClass) {
    static const CRuntimeClass own{"ArchiveTestClass", 1, CObject::StaticClass(), nullptr};
    static const CRuntimeClass impostor{"ArchiveTestClass", 1, CObject::StaticClass(), nullptr};
    EXPECT_EQ(FindClass("ArchiveTestClass"), nullptr);
    EXPECT_TRUE(RegisterClass(&own));
    EXPECT_TRUE(RegisterClass(&own));  // again: no change
    EXPECT_FALSE(RegisterClass(&impostor));
    EXPECT_FALSE(RegisterClass(nullptr));
    EXPECT_EQ(FindClass("ArchiveTestClass"), &own);
    EXPECT_EQ(FindClass("ArchiveTestClas"), nullptr);
    EXPECT_EQ(FindClass("CObject"), nullptr);  // the root is never created by name
    EXPECT_TRUE(CKelCommand::StaticClass()->IsDerivedFrom(CCommand::StaticClass()));
    EXPECT_FALSE(CCommand::StaticClass()->IsDerivedFrom(CKelCommand::StaticClass()));
}

}  // namespace
}  // namespace kelcmd
