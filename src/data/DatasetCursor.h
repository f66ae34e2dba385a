#pragma once

#include <QVariant>
#include <QVector>

enum class DatasetState { Browse, Edit, Insert };

// Where a dataset stands: the current position among its visible rows with the begin and
// end flags, the editing state with its change mark, and the record buffer that fields
// read and write (the stored columns, then the calculated fields). The flags read true
// whenever there is no visible row.
class DatasetCursor {
public:
    using Buffer = QVector<QVariant>;

    int position() const { return pos_; }
    bool eof(int visible) const { return visible == 0 || eof_; }
    bool bof(int visible) const { return visible == 0 || bof_; }

    // The current row is the visible row at `position` (-1: none); the flags are set as given.
    void placeAt(int position, bool bof, bool eof)
    {
        pos_ = position;
        bof_ = bof;
        eof_ = eof;
    }
    void setPosition(int position) { pos_ = position; }
    void setFlags(bool bof, bool eof)
    {
        bof_ = bof;
        eof_ = eof;
    }
    void setEof(bool on) { eof_ = on; }
    void setBof(bool on) { bof_ = on; }
    // Keeps the position within `visible` rows.
    void clampTo(int visible)
    {
        if (pos_ >= visible)
            pos_ = visible - 1;
    }

    DatasetState state = DatasetState::Browse;
    bool modified = false;
    Buffer current;

private:
    int pos_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};
