#include <gtest/gtest.h>

#include <memory>

#include "platform/object.h"

// Classes as other layers declare them: exported, in the global namespace.
class QUARLEN_API CTestShape : public CObject {
  DECLARE_DYNAMIC(CTestShape)

 public:
  int sides = 0;
};
IMPLEMENT_DYNAMIC(CTestShape, CObject)

class QUARLEN_API CTestSquare : public CTestShape {
  DECLARE_DYNCREATE(CTestSquare)

 protected:
  CTestSquare() { sides = 4; }  // creation by name reaches protected constructors
};
IMPLEMENT_DYNCREATE(CTestSquare, CTestShape)

class QUARLEN_API CTestTile : public CTestSquare {
  DECLARE_SERIAL(CTestTile)

 public:
  CTestTile() = default;
};
IMPLEMENT_SERIAL(CTestTile, CTestSquare, 3)

class CTestPlain : public CObject {};

namespace {

TEST(RuntimeClass, InformationOfTheMacros) {
  const CRuntimeClass* c = RUNTIME_CLASS(CTestSquare);
  EXPECT_STREQ(c->m_lpszClassName, "CTestSquare");
  EXPECT_EQ(c->m_nObjectSize, static_cast<int>(sizeof(CTestSquare)));
  EXPECT_EQ(c->m_wSchema, 0xFFFFu);
  EXPECT_EQ(c->m_pBaseClass, RUNTIME_CLASS(CTestShape));
  EXPECT_EQ(RUNTIME_CLASS(CTestTile)->m_wSchema, 3u);
  EXPECT_EQ(RUNTIME_CLASS(CObject)->m_pBaseClass, nullptr);
  EXPECT_STREQ(RUNTIME_CLASS(CObject)->m_lpszClassName, "CObject");
}

TEST(RuntimeClass, CreationByName) {
  struct Case {
    const char* name;
    bool creatable;
  } cases[] = {
      {"CTestSquare", true}, {"CTestTile", true},    {"CTestShape", false},
      {"CObject", false},    {"ctestsquare", false}, {"NoSuchClass", false},
  };
  for (const auto& c : cases) {
    std::unique_ptr<CObject> o(CRuntimeClass::CreateObject(c.name));
    EXPECT_EQ(o != nullptr, c.creatable) << c.name;
    if (o) {
      EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, c.name);
    }
  }
  std::unique_ptr<CObject> wide(CRuntimeClass::CreateObject(L"CTestTile"));
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(static_cast<CTestShape*>(wide.get())->sides, 4);
  EXPECT_EQ(CRuntimeClass::FromName(L"CTestShape"), RUNTIME_CLASS(CTestShape));
  EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
  EXPECT_EQ(CRuntimeClass::FromName(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(CRuntimeClass::CreateObject(static_cast<const wchar_t*>(nullptr)), nullptr);
  EXPECT_EQ(RUNTIME_CLASS(CTestShape)->CreateObject(), nullptr);
}

TEST(RuntimeClass, IsKindOfFollowsTheBaseChain) {
  std::unique_ptr<CObject> tile(RUNTIME_CLASS(CTestTile)->CreateObject());
  ASSERT_NE(tile, nullptr);
  EXPECT_TRUE(tile->IsKindOf(RUNTIME_CLASS(CTestTile)));
  EXPECT_TRUE(tile->IsKindOf(RUNTIME_CLASS(CTestSquare)));
  EXPECT_TRUE(tile->IsKindOf(RUNTIME_CLASS(CTestShape)));
  EXPECT_TRUE(tile->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(tile->IsKindOf(nullptr));
  EXPECT_TRUE(tile->IsSerializable());

  CTestShape shape;
  EXPECT_FALSE(shape.IsKindOf(RUNTIME_CLASS(CTestSquare)));
  EXPECT_FALSE(shape.IsSerializable());
  EXPECT_TRUE(RUNTIME_CLASS(CTestTile)->IsDerivedFrom(RUNTIME_CLASS(CTestShape)));
  EXPECT_FALSE(RUNTIME_CLASS(CTestShape)->IsDerivedFrom(RUNTIME_CLASS(CTestTile)));

  // A class without its own information reports its base's.
  CTestPlain plain;
  EXPECT_EQ(plain.GetRuntimeClass(), RUNTIME_CLASS(CObject));
}

}  // namespace
