// Writes known diagnostic lines so that a test can read the bytes through redirected streams.
#include "log.h"

int main()
{
    diag::out("开始扫描");
    diag::wide(L"递归扫描子目录(深度1): C:\\照片\\\U0001F600");
    diag::wide(L"ascii after wide");
    diag::out("结束");
    diag::error("复制文件失败");
    return 0;
}
