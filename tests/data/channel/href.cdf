<?XML VERSION="1.0" ENCODING="windows-1250"?>

<CHANNEL  HREF="http://www.brisko.cz/kanal.cdf">
  <TITLE></TITLE>
 <LOGO HREF="" STYLE="ICON">
</CHANNEL>