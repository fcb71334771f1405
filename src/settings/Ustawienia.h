#pragma once
// What the reader remembers between runs and the file it keeps it in: an INI
// file in the user's configuration folder (XDG_CONFIG_HOME, normally
// ~/.config/Lumesta/Lumesta.conf).
//
// Reading never fails. A missing, unreadable, damaged or foreign file, and
// any single value of the wrong kind or out of its range, give that value's
// default; a session list is cut to a sane length. Writing replaces the file
// whole, so a failed write leaves the previous one.
//
// Names (fonts, documents) are Windows-1250 in memory like every string of
// the program, and UTF-8 in the file.
#include "platform/core/Colors.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The range of the documents' zoom, in percent.
constexpr int NajmniejszePowiekszenie = 50;
constexpr int NajwiekszePowiekszenie = 400;
// More tabs than this in a session file are not reopened.
constexpr int NajwiecejZakladekSesji = 64;

// One tab of the last session: the document's name and the place it was
// read, as the anchor at the top of its view (item -1: the top).
struct TZakladkaSesji {
    std::string Nazwa; // a code's title or a Journal act's name "Dz.U.2007.50.331"
    int Element = -1;
    int Pozycja = 0;
    friend bool operator==(const TZakladkaSesji&, const TZakladkaSesji&) = default;
};

// The documents' fonts as the font command leaves them: one face, colour and
// character set for all text styles, and each style's size in points.
struct TCzcionkiDokumentow {
    std::string Nazwa;
    TColor Kolor = clWindowText;
    int ZestawZnakow = 238;
    std::vector<int> Rozmiary;
    friend bool operator==(const TCzcionkiDokumentow&, const TCzcionkiDokumentow&) = default;
};

enum class TStylPrzyciskow { Ikony, IkonyITeksty, Teksty };

struct TUstawienia {
    // Documents. No value: the window's own.
    std::optional<TCzcionkiDokumentow> Czcionki;
    std::optional<TColor> KolorTla;
    int Powiekszenie = 100;

    // The window. Empty: the window's own geometry and splits.
    QByteArray GeometriaOkna;
    QByteArray StanOkna;
    // Sizes of the two panes of each splitter, in pixels: the left pane
    // against the documents, the codes list against the contents list.
    std::vector<int> PodzialPoziomy;
    std::vector<int> PodzialPionowy;
    bool PokazSpisKodeksow = true;
    bool PokazSpisTresci = true;
    TStylPrzyciskow StylPrzyciskow = TStylPrzyciskow::IkonyITeksty;
    bool MaleWylaczniki = true;

    // The session: reopened at start while OtwierajOstatnie is on.
    bool OtwierajOstatnie = true;
    std::vector<TZakladkaSesji> Zakladki;
    int BiezacaZakladka = -1; // index into Zakladki, -1 with none

    friend bool operator==(const TUstawienia&, const TUstawienia&) = default;
};

// Whether a stored colour is one the program can show: a plain RGB colour or
// one of the system colours.
bool PoprawnyKolor(TColor kolor);

// The settings file in the user's configuration folder.
QString DomyslnyPlikUstawien();

TUstawienia WczytajUstawienia(const QString& plik);
// False when the file could not be written.
bool ZapiszUstawienia(const QString& plik, const TUstawienia& ustawienia);
