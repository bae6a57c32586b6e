#include "update/updatemessages.h"

#include "strata_config.h"

// The error text ends in a link to the maker's site, its address as its text.
#define STRATA_WEB_LINK(path) \
    "<a href=\"https://" STRATA_WEB_HOST path "\">https://" STRATA_WEB_HOST path "</a>"

const char *const updateMessages[UpdateLanguageCount][UpdateMessageCount] = {
    { // English
        "OK",
        "Cancel",
        "Update now",
        "Update later",
        "Do not show this message again",
        "KORVEN Update Information",
        "Current Version: ",
        "Latest Version: ",
        "<font size=+1><b>The newest version of the Settings Panel has been released.</b></font><br>",
        "<font size=+1><b>The newest version of the unit firmware has been released.</b></font><br>",
        "KORVEN Latest Information",
        "The update file could not be downloaded.<br>Please try again after waiting a little while.<br>"
        "                You can also download it manually from the KORVEN website.<br>" STRATA_WEB_LINK("/"),
        "<b>Downloading</b>",
        "<b>Download complete</b>",
        "The downloaded archive holds no installer for this system.",
        "The downloaded archive was refused: it is damaged, unsafe or too large to unpack.",
        "The downloaded archive could not be unpacked.",
    },
    { // French
        "OK",
        "Annuler",
        "Mettre à jour",
        "Plus tard",
        "Ne plus afficher ce message",
        "Informations de mise à jour KORVEN",
        "Version actuelle : ",
        "Dernière version : ",
        "<font size=+1><b>Il existe une version plus récente du panneau de réglages Settings Panel.</b></font><br>",
        "<font size=+1><b>Il existe une version plus récente du firmware de l'unité.</b></font><br>",
        "Dernières informations KORVEN",
        "Le fichier de mise à jour n'a pas pu être téléchargé.<br>Veuillez réessayer après avoir attendu un peu.<br>"
        "                Vous pouvez également le télécharger manuellement depuis le site Web Korven.<br>" STRATA_WEB_LINK("/"),
        "<b>Téléchargement</b>",
        "<b>Téléchargement terminé</b>",
        "L'archive téléchargée ne contient aucun programme d'installation pour ce système.",
        "L'archive téléchargée a été refusée : elle est endommagée, dangereuse ou trop volumineuse pour être décompressée.",
        "L'archive téléchargée n'a pas pu être décompressée.",
    },
    { // Spanish
        "OK",
        "Cancelar",
        "Actualizar ahora",
        "Actualizar más tarde",
        "No volver a ver este mensaje",
        "Información de actualización KORVEN",
        "Versión actual: ",
        "Última versión: ",
        "<font size=+1><b>Hay una nueva versión disponible del Settings Panel.</b></font><br>",
        "<font size=+1><b>Hay una nueva versión disponible del firmware de la unidad.</b></font><br>",
        "Últimas novedades de KORVEN",
        "El fichero de actualización no ha podido ser descargado.<br>Pruebe de nuevo después de unos minutos.<br>"
        "                También puede descargarlo manualmente desde la página web de KORVEN.<br>" STRATA_WEB_LINK("/"),
        "<b>Descargando</b>",
        "<b>Descarga finalizada</b>",
        "El archivo descargado no contiene ningún instalador para este sistema.",
        "Se ha rechazado el archivo descargado: está dañado, no es seguro o es demasiado grande para descomprimirlo.",
        "No se ha podido descomprimir el archivo descargado.",
    },
    { // German
        "OK",
        "Abbrechen",
        "Update jetzt",
        "Update später",
        "Diese Meldung nicht mehr anzeigen",
        "KORVEN Update-Information",
        "Aktuelle Version: ",
        "Neue Version: ",
        "<font size=+1><b>Eine neue Version des Einstellungsfelds ist verfügbar.</b></font><br>",
        "<font size=+1><b>Eine neue Version der Gerätefirmware ist verfügbar.</b></font><br>",
        "KORVEN – Neueste Informationen",
        "Die Update-Datei konnte nicht heruntergeladen werden.<br>Bitte versuchen Sie es später noch einmal.<br>"
        "                Oder laden Sie das Update manuell von der KORVEN-Website herunter.<br>" STRATA_WEB_LINK("/"),
        "<b>Herunterladen</b>",
        "<b>Herunterladen abgeschlossen</b>",
        "Das heruntergeladene Archiv enthält kein Installationsprogramm für dieses System.",
        "Das heruntergeladene Archiv wurde abgelehnt: Es ist beschädigt, unsicher oder zu groß zum Entpacken.",
        "Das heruntergeladene Archiv konnte nicht entpackt werden.",
    },
    { // Italian
        "OK",
        "Annulla",
        "Aggiorna ora",
        "Aggiorna più tardi",
        "Non mostrare più questo messaggio",
        "KORVEN Informazioni di aggiornamento",
        "Versione corrente: ",
        "Ultima versione: ",
        "<font size=+1><b>È stata rilasciata la nuova versione del Settings Panel.</b></font><br>",
        "<font size=+1><b>È stata rilasciata la versione più recente del firmware dell'unità.</b></font><br>",
        "KORVEN Ultime informazioni",
        "Il file di aggiornamento non può essere scaricato.<br>Attendere qualche istante e riprovare.<br>"
        "                È possibile scaricarlo manualmente dal sito web KORVEN.<br>" STRATA_WEB_LINK("/"),
        "<b>Scaricamento</b>",
        "<b>Download completato</b>",
        "L'archivio scaricato non contiene alcun programma di installazione per questo sistema.",
        "L'archivio scaricato è stato rifiutato: è danneggiato, non sicuro o troppo grande da estrarre.",
        "Impossibile estrarre l'archivio scaricato.",
    },
    { // Japanese: the box titles stay English.
        "OK",
        "中止",
        "今すぐアップデートする",
        "あとでアップデートする",
        "同じメッセージを再度表示しない",
        "KORVEN Update Information",
        "現在のバージョン: ",
        "新しいバージョン: ",
        "<font size=+1><b>Settings Panelの最新版がリリースされました。</b></font><br>",
        "<font size=+1><b>本体ファームウェアの最新版がリリースされました。</b></font><br>",
        "KORVEN Latest Information",
        "更新ファイルがダウンロードできませんでした。<br>時間を空けて再度お試しください。<br>"
        "                KORVENホームページから手動でダウンロードしていただくこともできます。<br>" STRATA_WEB_LINK("/ja/"),
        "<b>ダウンロード中</b>",
        "<b>ダウンロード完了</b>",
        "ダウンロードしたアーカイブには、このシステム用のインストーラーがありません。",
        "ダウンロードしたアーカイブは、破損している、安全でない、または大きすぎるため展開しませんでした。",
        "ダウンロードしたアーカイブを展開できませんでした。",
    },
    { // Chinese (Simplified): the version captions end in a full-width colon, no blank.
        "OK",
        "取消",
        "现在更新",
        "往后更新",
        "不再显示此信息",
        "Korven更新信息",
        "目前版本︰",
        "最新版本︰",
        "<font size=+1><b>设置面板的最新版本已经发布。</b></font><br>",
        "<font size=+1><b>本机固件的最新版本已经发布。</b></font><br>",
        "Korven最新信息",
        "不能下载更新文件。<br>请多等一会儿再次尝试。<br>"
        "                您也可以从Korven官网上下载。<br>" STRATA_WEB_LINK("/"),
        "<b>下载中</b>",
        "<b>下载完成</b>",
        "下载的压缩包中没有适用于本系统的安装程序。",
        "下载的压缩包已被拒绝：它已损坏、不安全或太大，无法解压。",
        "无法解压下载的压缩包。",
    },
};

int updateLanguageRow(QLocale::Language language)
{
    switch (language) {
    case QLocale::Chinese: return UpdateChinese;
    case QLocale::French: return UpdateFrench;
    case QLocale::German: return UpdateGerman;
    case QLocale::Italian: return UpdateItalian;
    case QLocale::Japanese: return UpdateJapanese;
    case QLocale::Spanish: return UpdateSpanish;
    default: return UpdateEnglish;
    }
}

QString updateMessage(int row, UpdateMessage slot)
{
    if (row < 0 || row >= UpdateLanguageCount)
        row = UpdateEnglish;
    return QString::fromUtf8(updateMessages[row][slot]);
}
