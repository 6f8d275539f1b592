int vrel__main() {
int vrel__one[1];
byte vrel__c;
int vrel__big[1000];
void vrel__a() {

}
void vrel__outer1() {
void vrel__inner() {

}
vrel__inner();

}
byte vrel__outer2(byte vrel__s[], byte vrel__t[], int vrel__g[]) {
void vrel__inner() {

}
vrel__inner();
return 'x';

}

}
int main() {
	vrel__main();
}


