#include "error_text.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string error_text(int error)
{
    switch (error) {
    case 0: return {};
    case EACCES: return "没有权限";
    // What makes a rename EPERM where the folder may be written.
    case EPERM: return "不允许此操作，文件或文件夹可能被设为不可改动，或文件在 /tmp 这样的公用文件夹中属于他人";
    case EROFS: return "文件系统是只读的";
    case ENOSPC: return "设备上没有空间";
    case ENAMETOOLONG: return "名称太长";
    case EBUSY: return "文件正被系统使用，例如是挂载点";
    case EXDEV: return "不能跨文件系统移动";
    case ENOENT: return "文件或文件夹不存在";
    case EIO: return "输入输出错误，设备或网络出了问题";
    case EDQUOT: return "超出磁盘配额";
    case EBADF: return "已被关闭";
    case ESTALE: return "文件句柄已失效，网络共享上的文件已在别处改变";
    default: break;
    }
    return std::strerror(error);
}

} // namespace platform
