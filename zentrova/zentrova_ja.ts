<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The texts of Qt's own dialogs that Qt's Japanese translation leaves in English: the print
     dialog, its printer properties, its page-range and conflict messages, and the file dialog's
     kinds of entry. Installed after Qt's translation, so Qt asks it first: every text it holds
     overrides Qt's own translation of that text. It holds only texts Qt's leaves in English. -->
<TS version="2.1" language="ja_JP">
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <source>Pages</source>
        <translation>ページ指定</translation>
    </message>
    <message>
        <source>Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.</source>
        <translation>印刷するページまたは範囲をカンマで区切って指定します。範囲は2つの数字をハイフンでつないで指定します。例：3,5-7,9 は 3、5、6、7、9 ページを印刷します。</translation>
    </message>
    <message>
        <source>Double Sided Printing</source>
        <translation>両面印刷</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>片面</translation>
    </message>
    <message>
        <source>Long side binding</source>
        <translation>長辺綴じ</translation>
    </message>
    <message>
        <source>Short side binding</source>
        <translation>短辺綴じ</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>Invalid Pages Definition</source>
        <translation>ページ指定が正しくありません</translation>
    </message>
    <message>
        <source>%1 does not follow the correct syntax. Please use &apos;,&apos; to separate ranges and pages, &apos;-&apos; to define ranges and make sure ranges do not intersect with each other.</source>
        <translation>%1 は正しい書式ではありません。ページと範囲は「,」で区切り、範囲は「-」で指定して、範囲どうしが重ならないようにしてください。</translation>
    </message>
    <message>
        <source>Duplex Settings Conflicts</source>
        <translation>両面印刷の設定の競合</translation>
    </message>
    <message>
        <source>There are conflicts in duplex settings. Do you want to fix them?</source>
        <translation>両面印刷の設定が競合しています。修正しますか？</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesWidget</name>
    <message>
        <source>Advanced</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>There are conflicts in some options. Please fix them.</source>
        <translation>一部のオプションが競合しています。修正してください。</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesDialog</name>
    <message>
        <source>Page Setup Conflicts</source>
        <translation>ページ設定の競合</translation>
    </message>
    <message>
        <source>There are conflicts in page setup options. Do you want to fix them?</source>
        <translation>ページ設定のオプションが競合しています。修正しますか？</translation>
    </message>
    <message>
        <source>Advanced Option Conflicts</source>
        <translation>詳細オプションの競合</translation>
    </message>
    <message>
        <source>There are conflicts in some advanced options. Do you want to fix them?</source>
        <translation>一部の詳細オプションが競合しています。修正しますか？</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>ドライブ</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>フォルダー</translation>
    </message>
</context>
</TS>
