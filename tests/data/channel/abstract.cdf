<?XML VERSION="1.0" ENCODING="windows-1250"?>

<CHANNEL >
  <TITLE></TITLE>
 <ABSTRACT>
První řádek
Druhý řádek
 </ABSTRACT>
 <LOGO HREF="" STYLE="ICON">
</CHANNEL>