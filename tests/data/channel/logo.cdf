<?XML VERSION="1.0" ENCODING="windows-1250"?>

<CHANNEL >
  <TITLE></TITLE>
 <LOGO HREF="obrazky/logo.gif" STYLE="IMAGE-WIDE">
</CHANNEL>