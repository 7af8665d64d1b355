#include "httpd/ReplyChoice.h"

namespace httpd {

ReplyKind ChooseReply(int useImages, bool imageExists, bool imageOpened) {
    if (useImages == 0) {
        return ReplyKind::kBuiltInPicture;
    }
    if (!imageExists) {
        return ReplyKind::kNotFound;
    }
    return imageOpened ? ReplyKind::kImageFile : ReplyKind::kLineEnd;
}

}  // namespace httpd
