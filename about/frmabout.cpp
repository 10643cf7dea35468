// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/frmabout.h"

#include <cstring>

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSvgRenderer>

#include "about/logging.h"
#include "buildinfo.h"
#include "platform/fonts.h"
#include "platform/programs.h"
#include "platform/registry.h"
#include "platform/twips.h"
#include "widgets/dialogs.h"
#include "widgets/labels.h"

using namespace Qt::StringLiterals;

namespace about {

namespace {

const QString appTitle = u"Zumbrel"_s;

// Where the system information tool is written down, tried in this order.
const QString sysInfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s;
const QString sysInfoValue = u"PATH"_s;
const QString sysInfoFolderKey = u"SOFTWARE\\Microsoft\\Shared Tools Location"_s;
const QString sysInfoFolderValue = u"MSINFO"_s;
const QString toolFileName = u"MSINFO32.EXE"_s;

// Query, set, create subkeys, enumerate, notify, create links and read the security: more than
// reading needs. The layer below decides what it grants: ours grants it all, the system registry
// may refuse it to a user who may not change the key, and the value then reads as missing.
constexpr quint32 lookupAccess = platform::ReadControl | platform::KeyQueryValue | platform::KeySetValue
    | platform::KeyCreateSubKey | platform::KeyEnumerateSubKeys | platform::KeyNotify | platform::KeyCreateLink;
static_assert(lookupAccess == 0x2003F);

constexpr int valueBufferSize = 1024;

using platform::fromBgr;
using platform::fromTwips;
using platform::twipsRect;

// The dialog's texts wrap within their place.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    return widgets::makeLabel(parent, name, caption, geometry, widgets::Wrap::Words);
}

void setTextColour(QWidget *widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, fromBgr(bgr));
    widget->setPalette(palette);
}

// One line of the etched rule: a strip of solid colour from (x1, y) to (x2, y), width pixels thick.
QWidget *makeLine(QWidget *parent, const QString &name, int x1Twips, int x2Twips, int yTwips, int widthPixels,
                  quint32 bgr)
{
    auto *line = new QWidget(parent);
    line->setObjectName(name);
    line->setGeometry(fromTwips(x1Twips), fromTwips(yTwips), fromTwips(x2Twips) - fromTwips(x1Twips), widthPixels);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, fromBgr(bgr));
    line->setPalette(palette);
    line->setFocusPolicy(Qt::NoFocus);
    return line;
}

QPixmap wizardPicture(qreal devicePixelRatio)
{
    const QSize size(61, 61);
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(u":/zumbrel/about/art/wizard.svg"_s);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : frmAbout(AboutServices{}, parent)
{
}

frmAbout::frmAbout(const AboutServices &services, QWidget *parent)
    : QDialog(parent)
    , m_registry(services.registry)
    , m_launcher(services.launcher)
    , m_files(services.files)
    , m_messages(services.messages)
{
    if (!m_registry) {
        m_ownRegistry = platform::systemRegistry();
        m_registry = m_ownRegistry.get();
    }
    if (!m_launcher) {
        m_ownLauncher = std::make_unique<platform::DetachedProgramLauncher>();
        m_launcher = m_ownLauncher.get();
    }
    if (!m_files) {
        m_ownFiles = std::make_unique<platform::DesktopFileProbe>();
        m_files = m_ownFiles.get();
    }
    if (!m_messages) {
        m_ownMessages = std::make_unique<widgets::DesktopDialogs>();
        m_messages = m_ownMessages.get();
    }

    setObjectName(u"frmAbout"_s);
    setWindowTitle(tr("About Zumbrel Teacher"));
    // A fixed dialog border that keeps only the close box. As a dialog with an owner it stays off
    // the taskbar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setSizeGripEnabled(false);
    QFont controlsFont(platform::installedFamily(u"MS Sans Serif"_s));
    controlsFont.setPointSizeF(8.25);
    setFont(controlsFont);
    setFixedSize(fromTwips(5865), fromTwips(3630));

    createControls();
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::createControls()
{
    // Created in tab order, so the focus chain runs OK, System Info..., and round again.
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setGeometry(twipsRect(4245, 2625, 1467, 345));
    cmdOK->setDefault(true);

    cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    cmdSysInfo->setObjectName(u"cmdSysInfo"_s);
    cmdSysInfo->setGeometry(twipsRect(4260, 3075, 1452, 345));
    setTabOrder(cmdOK, cmdSysInfo);

    // 61 by 61 pixels inside a two-pixel sunken border.
    picIcon = makeLabel(this, u"picIcon"_s, QString(), twipsRect(120, 240, 975, 975));
    picIcon->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setWordWrap(false);
    picIcon->setPixmap(wizardPicture(devicePixelRatio()));

    lblDisclaimer = makeLabel(this, u"lblDisclaimer"_s, u"Written by Vantrell"_s, twipsRect(255, 2625, 3870, 825));
    setTextColour(lblDisclaimer, 0x00000000);
    lblVersion = makeLabel(this, u"lblVersion"_s, u"Version"_s, twipsRect(1320, 780, 4095, 225));
    lblTitle = makeLabel(this, u"lblTitle"_s, u"Application Title"_s, twipsRect(1320, 240, 4095, 480));
    setTextColour(lblTitle, 0x00000000);
    QFont titleFont = font();
    titleFont.setPointSizeF(13.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblDescription = makeLabel(this, u"lblDescription"_s, QString(), twipsRect(1320, 1125, 4095, 1170));
    setTextColour(lblDescription, 0x00000000);

    Line1[1] = makeLine(this, u"Line1_1"_s, 225, 5657, 2430, 1, 0x00808080);
    Line1[0] = makeLine(this, u"Line1_0"_s, 240, 5657, 2445, 2, 0x00FFFFFF);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    cmdOK->setFocus();
}

void frmAbout::Form_Load()
{
    lblVersion->setText(tr("Version %1.%2.%3").arg(buildinfo::versionMajor)
                            .arg(buildinfo::versionMinor)
                            .arg(buildinfo::versionPatch));
    lblTitle->setText(appTitle);
    lblDescription->setText(tr("Developed by Vantrell") + u"\r\n"_s
                            + tr("This program is intended to teach basic arithmetic to children "
                                 "between the ages of 5 and 8.") + u"\r\n"_s
                            + tr("It requires a Linux desktop with a sound card plus speakers, and a microphone for "
                                 "spoken commands."));
    lblDisclaimer->setText(tr("Zumbrel is free software under the GNU General Public License, version 3 or later, "
                              "and comes with absolutely no warranty."));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // Esc presses OK, like Enter: the dialog has nothing to cancel.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        centreOverOwner();
    QDialog::showEvent(event);
}

void frmAbout::centreOverOwner()
{
    // Qt would centre a dialog over its owner too, but guesses the window frames where it cannot
    // see them; centring the client areas on each other needs no guess.
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner)
        return;
    QRect target(QPoint(), size());
    target.moveCenter(owner->geometry().center());
    if (const QScreen *screen = owner->screen()) {
        const QRect available = screen->availableGeometry();
        target.moveLeft(qMax(available.left(), qMin(target.left(), available.right() + 1 - target.width())));
        target.moveTop(qMax(available.top(), qMin(target.top(), available.bottom() + 1 - target.height())));
    }
    setGeometry(target);
}

QString frmAbout::toolInFolder(const QString &folder)
{
    // A folder written with its closing separator gets no second one.
    QString path = folder;
    if (!path.endsWith(u'/') && !path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path + toolFileName;
}

void frmAbout::StartSysInfo()
{
    try {
        QString sysInfoPath;
        const qint32 root = platform::HkeyLocalMachine;
        // A path found at the first location is started as it stands: a missing file there shows
        // as a failed start.
        if (!GetKeyValue(root, sysInfoKey, sysInfoValue, sysInfoPath)) {
            if (!GetKeyValue(root, sysInfoFolderKey, sysInfoFolderValue, sysInfoPath))
                throw SysInfoError("The system information tool is not registered.");
            sysInfoPath = toolInFolder(sysInfoPath);
            if (!m_files->isOrdinaryFile(sysInfoPath))
                throw SysInfoError("The system information tool is not in its folder.");
        }
        if (!m_launcher->startDetached(sysInfoPath))
            throw SysInfoError("The system information tool could not be started.");
        return;
    } catch (const std::exception &error) {
        // Whatever went wrong, the user hears the same thing and the dialog stays open.
        qCWarning(lcAbout) << error.what();
    }
    m_messages->inform(this, appTitle, tr("System Information Is Unavailable At This Time"));
}

bool frmAbout::GetKeyValue(const qint32 &KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal)
{
    using platform::Registry;

    Registry::Handle key = 0;
    if (m_registry->open(Registry::rootHandle(KeyRoot), KeyName.toLocal8Bit(), 0, lookupAccess, &key)
        != platform::ErrorSuccess) {
        KeyVal.clear();
        return false;
    }
    // The key is closed on every way out, an error included.
    const auto closeKey = qScopeGuard([this, key] { m_registry->close(key); });

    std::array<char, valueBufferSize> buffer{};
    quint32 valueSize = valueBufferSize;
    quint32 valueType = 0;
    if (m_registry->query(key, SubKeyRef.toLocal8Bit(), &valueType, buffer.data(), &valueSize)
        != platform::ErrorSuccess) {
        KeyVal.clear();
        return false;
    }

    // The text ends at the first zero; a value that fills the buffer without one has no end we
    // could trust.
    const void *zero = std::memchr(buffer.data(), 0, buffer.size());
    if (!zero)
        throw SysInfoError("The registry value does not end within its buffer.");
    const QByteArray text(buffer.data(), static_cast<const char *>(zero) - buffer.data());

    switch (valueType) {
    case platform::RegSz:
        KeyVal = QString::fromLocal8Bit(text);
        break;
    case platform::RegDword: {
        // Stored least significant byte first, whatever the machine.
        quint32 number = 0;
        const quint32 bytes = qMin<quint32>(valueSize, 4);
        for (quint32 i = bytes; i > 0; --i)
            number = (number << 8) | quint8(buffer[i - 1]);
        KeyVal = QString::number(number);
        break;
    }
    default:
        break;
    }
    return true;
}

void showAboutDialog(QWidget *mainWindow)
{
    showAboutDialogWith(AboutServices{}, mainWindow);
}

void showAboutDialogWith(const AboutServices &services, QWidget *mainWindow)
{
    // A new dialog each time, so that it is filled afresh. Owned by the main window, it centres
    // itself over that window when it is shown; on the heap so that the main window going away
    // while the dialog runs does not delete it twice.
    auto *dialog = new frmAbout(services, mainWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

} // namespace about
