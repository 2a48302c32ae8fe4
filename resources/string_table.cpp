// The library's string table: zoom log texts, the position-change log line, the cursor-enable
// texts and the names of the physical quantities. The texts are kept byte for byte; \t is a
// tab character.
#include "resources/string_table.h"

#include <algorithm>
#include <iterator>

namespace quarlen::detail {
namespace {

struct Entry {
  UINT id;
  const wchar_t* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {1, L"%s 轴放大:\t起始 = %.*f %s\t终止 = %.*f %s"},
    {2, L"更改光标位置: 名称 = %s\t新位置 = %.*f %s"},
    {3, L"%s 轴放大:\t左 = %.*f %s\t右 = %.*f %s"},
    {5, L"%s 轴放大:\t顶部 = %.*f %s\t底部 = %.*f %s"},
    {8, L"两条轴放大:\t顶部 = %.*f %s\t底部 = %.*f%s\t左 = %.*f %s\t右 = %.*f %s"},
    {9, L"%s: 参考光标已启用"},
    {10, L"%s: 测量光标已启用"},
    {32, L"无"},
    {33, L"时间"},
    {34, L"距离"},
    {35, L"旋转"},
    {36, L"百分比"},
    {37, L"分贝"},
    {38, L"频率"},
    {39, L"温度"},
    {40, L"采样点"},
    {41, L"时间/2"},
    {42, L"全声程"},
    {43, L"半声程"},
    {44, L"真实深度"},
    {45, L"TOFD"},
    {46, L"电压"},
};

}  // namespace

const wchar_t* FindLibraryString(UINT id) {
  const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                    [](const Entry& e, UINT key) { return e.id < key; });
  return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}

}  // namespace quarlen::detail
