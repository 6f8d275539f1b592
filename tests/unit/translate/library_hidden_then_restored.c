void vrel__main() {
void vrel__h() {
int vrel__n;
int vrel__writeInteger() {
return 3 ;

}
vrel__n = vrel__writeInteger() ;

}
vrel__writeInteger(7 );
vrel__h();

}
int main() {
	vrel__main();
}


