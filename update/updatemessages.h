// The update service's visible texts in its seven languages, and the choice
// of the language row from the system locale.
#pragma once

#include <QLocale>
#include <QString>

// Rows of updateMessages.
enum UpdateLanguage {
    UpdateEnglish = 0,
    UpdateFrench,
    UpdateSpanish,
    UpdateGerman,
    UpdateItalian,
    UpdateJapanese,
    UpdateChinese,
    UpdateLanguageCount
};

// Columns of updateMessages.
enum UpdateMessage {
    OkText = 0,
    CancelText,
    UpdateNowText,
    UpdateLaterText,
    DontShowText,
    UpdateTitle,
    CurrentVersionText,
    LatestVersionText,
    SoftwareReleasedText,
    FirmwareReleasedText,
    InformationTitle,
    DownloadErrorText,
    DownloadingText,
    DownloadCompleteText,
    // Detail lines of the download-error box.
    NoInstallerText,
    UnsafeArchiveText,
    UnzipFailedText,
    UpdateMessageCount
};

// UTF-8 texts, fixed at compile time.
extern const char *const updateMessages[UpdateLanguageCount][UpdateMessageCount];

// The row for a system language; every language without a row reads English.
int updateLanguageRow(QLocale::Language language);

QString updateMessage(int row, UpdateMessage slot);
