// Writes known diagnostic lines so that a test can read the bytes through redirected streams.
#include "log.h"

#include <string_view>

namespace {

// Built before the engine's file-level objects and so destroyed after them, as a late clean-up
// would be, this writes one more wide line when the program asks for it.
struct LateLine {
    bool wanted = false;
    ~LateLine()
    {
        if (wanted) {
            diag::wide(L"退出时 \U0001F600");
        }
    }
};

__attribute__((init_priority(101))) LateLine lateLine;

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string_view(argv[1]) == "at-exit") {
        lateLine.wanted = true;
        diag::wide(L"运行中");
        return 0;
    }
    diag::out("开始扫描");
    diag::wide(L"递归扫描子目录(深度1): C:\\照片\\\U0001F600");
    diag::wide(L"ascii after wide");
    diag::out("结束");
    diag::error("复制文件失败");
    return 0;
}
