#include "qt/Glyphs.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cctype>
#include <map>

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The toolbar's buttons by what they do; the names are the screens' own.
QStyle::StandardPixmap standardFor(const std::string& key) {
    static const std::map<std::string, QStyle::StandardPixmap> table = {
        {"incluir", QStyle::SP_FileIcon},
        {"alterar", QStyle::SP_FileDialogDetailedView},
        {"excluir", QStyle::SP_TrashIcon},
        {"procurar", QStyle::SP_FileDialogContentsView},
        {"verificar", QStyle::SP_BrowserReload},
        {"ordenar", QStyle::SP_ArrowDown},
        {"cancelar", QStyle::SP_DialogCancelButton},
        {"cancel", QStyle::SP_DialogCancelButton},
        {"confirmar", QStyle::SP_DialogApplyButton},
        {"confirma", QStyle::SP_DialogApplyButton},
        {"ajuda", QStyle::SP_DialogHelpButton},
        {"imprimir", QStyle::SP_FileDialogListView},
        {"fechar", QStyle::SP_DialogCloseButton},
        {"sair", QStyle::SP_DialogCloseButton},
        {"filtro", QStyle::SP_FileDialogContentsView},
        {"pesqver", QStyle::SP_FileDialogContentsView},
        {"saveopc", QStyle::SP_DialogSaveButton},
        {"loadopc", QStyle::SP_DialogOpenButton},
        {"filter", QStyle::SP_FileDialogContentsView},
        {"search", QStyle::SP_FileDialogContentsView},
        {"products", QStyle::SP_FileDialogInfoView},
        {"open", QStyle::SP_DialogOpenButton},
        {"save", QStyle::SP_DialogSaveButton},
    };
    const auto it = table.find(key);
    return it == table.end() ? QStyle::SP_CustomBase : it->second;
}

// A small badge with the first letters of what the button does.
QIcon badge(const std::string& text) {
    if (text.empty()) return {};
    QString letters = QString::fromStdString(text.substr(0, 2));
    letters[0] = letters[0].toUpper();
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2f, 0x5d, 0x8a));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 18, 18), 4, 4);
    QFont f = QApplication::font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, letters);
    return QIcon(pm);
}

} // namespace

QIcon Glyphs::icon(const std::string& glyph, const std::string& buttonName, const std::string&) {
    std::string key = lower(glyph.empty() ? buttonName : glyph);
    for (const char* prefix : {"sbt", "btf", "btn", "mnu"})
        if (key.rfind(prefix, 0) == 0) {
            key = key.substr(3);
            break;
        }
    const QStyle::StandardPixmap sp = standardFor(key);
    if (sp != QStyle::SP_CustomBase) return QApplication::style()->standardIcon(sp);
    if (glyph.empty() && buttonName.rfind("sbt", 0) != 0) return {};
    return badge(key);
}

QPixmap Glyphs::checkPicture(TCheckPicture picture) {
    if (picture == TCheckPicture::None) return {};
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QStyleOptionButton opt;
    opt.rect = QRect(1, 1, 14, 14);
    opt.state = QStyle::State_Enabled;
    opt.state |= picture == TCheckPicture::Checked  ? QStyle::State_On
                 : picture == TCheckPicture::Grayed ? QStyle::State_NoChange
                                                    : QStyle::State_Off;
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p);
    return pm;
}

QIcon Glyphs::applicationIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2f, 0x5d, 0x8a));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    // Twelve monthly bars: the budget at a glance.
    p.setBrush(QColor(0xf2, 0xc1, 0x4e));
    for (int i = 0; i < 6; ++i) {
        const int h = 6 + (i * 7) % 16;
        p.drawRect(QRectF(5 + i * 4, 27 - h, 3, h));
    }
    return QIcon(pm);
}

QPixmap Glyphs::named(const std::string& name) {
    const std::string key = lower(name);
    if (key == "check" || key == "imgcheck") return checkPicture(TCheckPicture::Checked);
    if (key == "uncheck" || key == "imguncheck") return checkPicture(TCheckPicture::Unchecked);
    if (key == "gray" || key == "imggray") return checkPicture(TCheckPicture::Grayed);
    return {};
}
