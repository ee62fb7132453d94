#include "files/file_dialog.h"

OPENFILENAMEW FileDialogRecord(const FileDialogRequest& request)
{
    OPENFILENAMEW record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = request.owner;
    record.lpstrFilter = request.filter;
    record.nFilterIndex = 0;
    record.lpstrFile = request.buffer;
    record.nMaxFile = request.capacity;
    record.Flags = request.flags;
    record.lpstrDefExt = request.defaultExtension;
    record.lpstrTitle = request.title;
    return record;
}
