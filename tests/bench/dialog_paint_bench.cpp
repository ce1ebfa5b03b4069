// Prints what a full repaint of a 602 x 402 skinned dialog costs: the large layout's
// size and frame from the built-in skin, style and string tables, with a header of
// title buttons and a body of texts and skinned buttons.
//   dialog_paint_bench [REPAINTS]      (default 200)
// The median of the repaints of the back buffer, then of full presentations (repaint
// and copy to the window through WM_PRINT).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "res/resource_ids.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog_view_ex.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_style_table.h"

namespace {

constexpr char kLayer[] = R"(<layer width="602" height="402" frame="mainbg_new" title="Tovel" noborder="1"
    appwin="1" layered="1">
  <header height="40">
    <text id="1003" pos="16,12" class="main_title_text">%str101%</text>
    <text id="2" pos="-45,15,-32,27" class="bench_minimize"/>
    <text id="1" pos="-24,15,-12,27" class="bench_close"/>
  </header>
  <body>
    <text id="201" pos="20,230,-20,250" class="progress_text">%str104%</text>
    <text id="202" pos="20,250,-20,270" class="progress_detail_text">%str112%</text>
    <text id="105" pos="|-70,-110,|70,-74" class="page_btn">%str106%</text>
    <text id="106" pos="|-50,-60,|50,-30" class="recommend_btn_ok" correctdrawbg="1"/>
    <text id="107" pos="20,-60,160,-24" class="fast_install_btn"/>
  </body>
</layer>)";

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

template <typename Work>
double Median(int count, Work work) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int repaints = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 200;
  kbase::VwResourceLoader& loader = kbase::VwResourceLoader::Instance();
  if (!loader.LoadSkins(IDR_SKIN_TABLE) || !loader.LoadStyles(IDR_STYLE_TABLE) || !loader.LoadStrings(IDR_STRING_TABLE)) {
    fprintf(stderr, "the built-in tables are missing\n");
    return 1;
  }
  kbase::VwStyleTable::Instance().LoadFromText(
      R"(<style><class name="bench_close" skin="close_new"/><class name="bench_minimize" skin="minimize_new"/></style>)");
  kbase::CVwDialogViewEx dialog(0);
  if (!dialog.LoadFromText(kLayer) || dialog.Create(nullptr) == nullptr) {
    fprintf(stderr, "the dialog cannot be created\n");
    return 1;
  }
  dialog.RepaintAll();  // images decoded and converted once, outside the figures
  const double repaint = Median(repaints, [&] { dialog.RepaintAll(); });
  kbase::CVwBitmap target;
  target.Create(602, 402);
  kbase::BitmapDc dc(target.handle());
  const double presented = Median(repaints, [&] {
    dialog.RepaintAll();
    SendMessageW(dialog.hwnd(), WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  });
  printf("full repaint of a 602x402 dialog (back buffer), median of %d: %8.3f ms\n", repaints, repaint);
  printf("full repaint and copy out (WM_PRINT),          median of %d: %8.3f ms\n", repaints, presented);
  return 0;
}
