<?XML VERSION="1.0" ENCODING="windows-1250"?>

<CHANNEL  BASE="http://www.brisko.cz/">
  <TITLE></TITLE>
 <LOGO HREF="" STYLE="ICON">
</CHANNEL>