#pragma once

// Which reply a complete request gets, from the "Images" setting and the state of the
// connection's image file.
namespace httpd {

enum class ReplyKind {
    kBuiltInPicture,  // 200 with the built-in transparent picture
    kImageFile,       // 200 with the image file
    kNotFound,        // the bare 404 line: the file is not there
    kLineEnd,         // a bare line end: the file is there but cannot be read
};

// `useImages`: the setting (non-zero: serve the files); `imageExists`, `imageOpened`: what
// became of the image file (only looked at when files are served).
ReplyKind ChooseReply(int useImages, bool imageExists, bool imageOpened);

}  // namespace httpd
