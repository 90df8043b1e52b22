// Toolbox: the drop-down list laid onto a string control, the panel screenshot and whole-file
// writes that replace a file in one step.
#include "platform/toolbox.h"
#include "platform/ui_internal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QSaveFile>

#include <cstring>

void TagLikeControl(QWidget *w, QWidget *like); // ui_events.cpp

namespace {

constexpr int kErrCtrl = -13;
constexpr int kErrAttr = -45;

QComboBox *ComboOf(int panel, int control) {
    CtrlRec *c = FindCtrl(panel, control);
    return c ? c->combo.data() : nullptr;
}

} // namespace

int Combo_NewComboBox(int panel, int stringControl) {
    CtrlRec *c = FindCtrl(panel, stringControl);
    if (!c || c->style != CTRL_STRING || c->combo) return kErrCtrl;
    auto *le = static_cast<QLineEdit *>(c->widget.data());
    QWidget *parent = le->parentWidget();
    QRect g = le->geometry();
    bool visible = le->isVisibleTo(parent);
    bool enabled = le->isEnabled();
    auto *combo = new QComboBox(parent);
    combo->setObjectName(le->objectName() + "_combo");
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setLineEdit(le); // the string control lives on inside the combo box
    combo->setGeometry(g);
    combo->setToolTip(le->toolTip());
    combo->setVisible(visible);
    combo->setEnabled(enabled);
    le->show();
    c->combo = combo;
    TagLikeControl(combo, le);
    // Choosing an entry puts its text into the control and commits it.
    QObject::connect(combo, &QComboBox::activated, combo, [panel, stringControl](int index) {
        CtrlRec *r = FindCtrl(panel, stringControl);
        if (!r || !r->combo) return;
        r->text = r->combo->itemText(index);
        PostCtrlEvent(panel, stringControl, EVENT_VAL_CHANGED);
        PostCtrlEvent(panel, stringControl, EVENT_COMMIT);
    });
    return 0;
}

int Combo_DiscardComboBox(int panel, int stringControl) {
    CtrlRec *c = FindCtrl(panel, stringControl);
    if (!c || !c->combo) return kErrCtrl;
    QComboBox *combo = c->combo;
    auto *le = static_cast<QLineEdit *>(c->widget.data());
    if (le) {
        QString text = le->text();
        le->setParent(combo->parentWidget());
        le->setGeometry(combo->geometry());
        le->setText(text);
        le->setVisible(combo->isVisibleTo(combo->parentWidget()));
    }
    c->combo = nullptr;
    delete combo;
    return 0;
}

int Combo_InsertComboItem(int panel, int stringControl, int index, const char *text) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    CtrlRec *c = FindCtrl(panel, stringControl);
    QString keep = c->text; // inserting must not change the control's text
    if (index < 0 || index > combo->count()) index = combo->count();
    combo->insertItem(index, QString::fromUtf8(text ? text : ""));
    combo->setEditText(keep);
    return 0;
}

int Combo_DeleteComboItem(int panel, int stringControl, int index, int count) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    if (index < 0 || index >= combo->count()) return kErrAttr;
    CtrlRec *c = FindCtrl(panel, stringControl);
    QString keep = c->text;
    int n = count < 0 ? combo->count() - index : std::min(count, combo->count() - index);
    for (int i = 0; i < n; ++i)
        combo->removeItem(index);
    combo->setEditText(keep);
    return 0;
}

int Combo_GetIndexFromValue(int panel, int stringControl, int *index, const char *text) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    *index = combo->findText(QString::fromUtf8(text ? text : ""), Qt::MatchExactly);
    return 0;
}

int Combo_GetComboText(int panel, int stringControl, int index, char *buffer, int size) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    if (index < 0 || index >= combo->count() || !buffer || size <= 0) return kErrAttr;
    QByteArray b = combo->itemText(index).toUtf8();
    int n = std::min<int>(b.size(), size - 1);
    std::memcpy(buffer, b.constData(), n);
    buffer[n] = 0;
    return 0;
}

int Combo_SetComboAttribute(int panel, int stringControl, int attribute, int value) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    switch (attribute) {
    case ATTR_COMBO_VISIBLE:
        return SetCtrlAttribute(panel, stringControl, ATTR_VISIBLE, value);
    case ATTR_COMBO_LIST_BGCOLOR: {
        QPalette pal = combo->view()->palette();
        pal.setColor(QPalette::Base, QColor::fromRgb(QRgb(value & 0xFFFFFF)));
        combo->view()->setPalette(pal);
        return 0;
    }
    default:
        return kErrAttr;
    }
}

int Combo_GetComboAttribute(int panel, int stringControl, int attribute, int *value) {
    QComboBox *combo = ComboOf(panel, stringControl);
    if (!combo) return kErrCtrl;
    switch (attribute) {
    case ATTR_COMBO_NUM_ITEMS:
        *value = combo->count();
        return 0;
    case ATTR_COMBO_VISIBLE:
        *value = combo->isVisibleTo(combo->parentWidget()) ? 1 : 0;
        return 0;
    default:
        return kErrAttr;
    }
}

int SavePanelDisplayToPngFile(int panel, const char *path) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget || !path) return -4;
    FlushAllDirty();
    QPixmap pm = p->widget->grab();
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly)) return -12;
    if (!pm.save(&file, "PNG")) {
        file.cancelWriting();
        return -12;
    }
    return file.commit() ? 0 : -12;
}

int WriteFileSafely(const char *path, const char *data, long size) {
    if (!path || (!data && size > 0) || size < 0) return -4;
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly)) return -12;
    if (file.write(data, size) != size) {
        file.cancelWriting();
        return -12;
    }
    return file.commit() ? 0 : -12;
}

int SavePanelDisplayToFile(int panel, const char *path) {
    PanelRec *p = FindPanel(panel);
    if (!p || !p->widget || !path) return -4;
    FlushAllDirty();
    // grab() renders the widget itself, so it works off screen as well.
    QPixmap pm = p->widget->grab();
    return pm.save(QString::fromLocal8Bit(path), "BMP") ? 0 : -12;
}
